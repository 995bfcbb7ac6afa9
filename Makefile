# The two front-door commands; both install what is missing first.
BUILD ?= build

.PHONY: run test build bench clean
run:
	scripts/run-setup.sh $(BUILD)
test:
	scripts/run-tests.sh $(BUILD)
build:
	scripts/build.sh $(BUILD)
# The benchmarks (not tests): their figures, docs/performance.md.
bench:
	scripts/bench.sh $(BUILD)
clean:
	rm -rf $(BUILD)

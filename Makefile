# The two front-door commands; both install what is missing first.
BUILD ?= build

.PHONY: run test build clean
run:
	scripts/run-setup.sh $(BUILD)
test:
	scripts/run-tests.sh $(BUILD)
build:
	scripts/build.sh $(BUILD)
clean:
	rm -rf $(BUILD)

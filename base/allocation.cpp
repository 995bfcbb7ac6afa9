// The heap operators the setup's code uses, on the runtime library's
// allocator. The setup allocates only with new (std::nothrow) and checks for
// null; the language's own nothrow operators are built on the throwing ones
// and would bring the whole exception machinery into a program that
// throws nothing. These replace them (standard replacement functions: every
// operator delete frees what malloc gave, which is also what the runtime's
// throwing operator new, used by the tests' framework, allocates with).
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

#include "base/own_imports.h"

#include <winternl.h>

namespace {

// Until the imports are bound, nothing here may call an imported function,
// nor leave the compiler room to call one on its own (a copy loop it turns
// into memcpy, say): names are compared in place, never copied.

const IMAGE_DATA_DIRECTORY& Directory(const BYTE* image, int entry)
{
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    return headers->OptionalHeader.DataDirectory[entry];
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when exported (an export directory's name, "KERNEL32.dll") is the
// module wanted names, up to its end or to its first end mark: wanted is
// "kernel32.dll", or "KERNELBASE" from a forwarder ("KERNELBASE.Function"),
// which leaves out the ".dll".
bool IsModuleNamed(const char* exported, const char* wanted, char endMark)
{
    for (;; ++exported, ++wanted) {
        if (*wanted == 0 || *wanted == endMark) {
            if (*exported == 0)
                return true;
            const char dll[] = ".dll";
            for (int i = 0; dll[i]; ++i)
                if (Lower(exported[i]) != dll[i])
                    return false;
            return exported[4] == 0;
        }
        if (Lower(*exported) != Lower(*wanted))
            return false;
    }
}

bool IsSameText(const char* a, const char* b)
{
    for (; *a == *b; ++a, ++b)
        if (*a == 0)
            return true;
    return false;
}

// The process's environment block, from the thread's. (GCC 12 takes the
// segment read in mingw-w64's NtCurrentTeb for an access past an array.)
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#endif
PEB* ProcessBlock()
{
    return NtCurrentTeb()->ProcessEnvironmentBlock;
}
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// The module of that name in the process's list of loaded modules.
const BYTE* LoadedModule(const char* name, char endMark)
{
    PEB* peb = ProcessBlock();
    LIST_ENTRY* head = &peb->Ldr->InMemoryOrderModuleList;
    for (LIST_ENTRY* link = head->Flink; link != head; link = link->Flink) {
        const LDR_DATA_TABLE_ENTRY* entry = CONTAINING_RECORD(link, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
        const BYTE* image = static_cast<const BYTE*>(entry->DllBase);
        if (!image)
            continue;
        const IMAGE_DATA_DIRECTORY& exports = Directory(image, IMAGE_DIRECTORY_ENTRY_EXPORT);
        if (!exports.VirtualAddress)
            continue;
        const IMAGE_EXPORT_DIRECTORY* directory =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image + exports.VirtualAddress);
        if (IsModuleNamed(reinterpret_cast<const char*>(image + directory->Name), name, endMark))
            return image;
    }
    return nullptr;
}

// A function a loaded module exports by name, following one forwarder
// ("KERNELBASE.GetProcAddress", as kernel32's exports often are).
FARPROC ExportedFunction(const BYTE* image, const char* name, bool mayForward)
{
    const IMAGE_DATA_DIRECTORY& entry = Directory(image, IMAGE_DIRECTORY_ENTRY_EXPORT);
    const IMAGE_EXPORT_DIRECTORY* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image + entry.VirtualAddress);
    const DWORD* names = reinterpret_cast<const DWORD*>(image + exports->AddressOfNames);
    const WORD* ordinals = reinterpret_cast<const WORD*>(image + exports->AddressOfNameOrdinals);
    const DWORD* functions = reinterpret_cast<const DWORD*>(image + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (!IsSameText(reinterpret_cast<const char*>(image + names[i]), name))
            continue;
        const DWORD address = functions[ordinals[i]];
        if (address < entry.VirtualAddress || address >= entry.VirtualAddress + entry.Size)
            return reinterpret_cast<FARPROC>(const_cast<BYTE*>(image + address));
        if (!mayForward)
            return nullptr;
        const char* forward = reinterpret_cast<const char*>(image + address);
        const char* function = forward;
        while (*function && *function != '.')
            ++function;
        const BYTE* target = *function ? LoadedModule(forward, '.') : nullptr;
        return target ? ExportedFunction(target, function + 1, false) : nullptr;
    }
    return nullptr;
}

template <class Function> bool Find(const BYTE* kernel32, const char* name, Function* function)
{
    *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(ExportedFunction(kernel32, name, true)));
    return *function != nullptr;
}

// The calls binding needs, found in kernel32 without going through an import.
struct BindingCalls {
    FARPROC(WINAPI* getProcAddress)(HMODULE, LPCSTR) = nullptr;
    HMODULE(WINAPI* loadLibrary)(LPCSTR) = nullptr;
    UINT(WINAPI* getSystemDirectory)(LPSTR, UINT) = nullptr;
    LPSTR(WINAPI* appendText)(LPSTR, LPCSTR) = nullptr;
    BOOL(WINAPI* virtualProtect)(LPVOID, SIZE_T, DWORD, PDWORD) = nullptr;

    bool FindAll()
    {
        const BYTE* kernel32 = LoadedModule("kernel32.dll", 0);
        return kernel32 && Find(kernel32, "GetProcAddress", &getProcAddress) &&
               Find(kernel32, "LoadLibraryA", &loadLibrary) &&
               Find(kernel32, "GetSystemDirectoryA", &getSystemDirectory) && Find(kernel32, "lstrcatA", &appendText) &&
               Find(kernel32, "VirtualProtect", &virtualProtect);
    }

    // The DLL as loaded already, else from the system folder, never from
    // the folders a bare name would be searched in.
    HMODULE Library(const char* name)
    {
        const BYTE* loaded = LoadedModule(name, 0);
        if (loaded)
            return reinterpret_cast<HMODULE>(const_cast<BYTE*>(loaded));
        char path[MAX_PATH + 64];
        UINT length = getSystemDirectory(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return nullptr;
        for (const char* c = name; *c; ++c)
            if (*c == '\\' || *c == '/' || c - name >= 60)
                return nullptr;
        appendText(path, "\\");
        appendText(path, name);
        return loadLibrary(path);
    }
};

// A byte of this image, addressed relative to the code that reads it: the
// linker's __ImageBase is reached on x86_64 through a pointer that only a
// relocation puts right, and this image may not have been relocated.
const BYTE kInThisImage = 0;

// This image: the loaded module that holds kInThisImage.
BYTE* OwnImage()
{
    const BYTE* inside = &kInThisImage;
    PEB* peb = ProcessBlock();
    LIST_ENTRY* head = &peb->Ldr->InMemoryOrderModuleList;
    for (LIST_ENTRY* link = head->Flink; link != head; link = link->Flink) {
        const LDR_DATA_TABLE_ENTRY* entry = CONTAINING_RECORD(link, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
        BYTE* image = static_cast<BYTE*>(entry->DllBase);
        if (!image || inside < image)
            continue;
        const IMAGE_NT_HEADERS* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
        if (inside < image + headers->OptionalHeader.SizeOfImage)
            return image;
    }
    return nullptr;
}

} // namespace

bool BindOwnImports()
{
    BYTE* self = OwnImage();
    if (!self)
        return false;
    const IMAGE_DATA_DIRECTORY& entry = Directory(self, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (!entry.VirtualAddress)
        return true;
    BindingCalls calls;
    bool found = false;
    for (const IMAGE_IMPORT_DESCRIPTOR* import =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(self + entry.VirtualAddress);
         import->Name; ++import) {
        // Without the table of names there is nothing to bind by: such an
        // image is bound by whoever made it.
        if (!import->OriginalFirstThunk)
            continue;
        const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(self + import->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(self + import->FirstThunk);
        if (slots->u1.Function != names->u1.AddressOfData)
            continue; // bound by the loader
        if (!found && !(found = calls.FindAll()))
            return false;
        HMODULE library = calls.Library(reinterpret_cast<const char*>(self + import->Name));
        if (!library)
            return false;
        for (; names->u1.AddressOfData; ++names, ++slots) {
            const char* name =
                IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)
                    ? reinterpret_cast<const char*>(IMAGE_ORDINAL(names->u1.Ordinal))
                    : reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(self + names->u1.AddressOfData)->Name;
            FARPROC address = calls.getProcAddress(library, name);
            DWORD protection = 0;
            if (!address ||
                !calls.virtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection))
                return false;
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(address);
            calls.virtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
        }
    }
    return true;
}

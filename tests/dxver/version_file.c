/* A DLL that carries nothing but its version resource. */
__declspec(dllexport) int bc_version_file_marker;

#include "ui/path_components.h"

CPathComponents::CPathComponents(const char* path) : m_strPath(path ? path : "")
{
    // Rewind the tokenizer to the start of the path.
    m_strPath.Tokenize(nullptr, 0);
}

const char* CPathComponents::Next()
{
    return m_strPath.Tokenize("\\", -1);
}

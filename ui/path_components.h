#pragma once
// Walks the components of a folder path, cut at every backslash by the text
// string's tokenizer, which takes a double-byte character as one unit: the
// trail byte 0x5C of a Japanese character is never a separator. A single
// trailing backslash ends the walk without an empty component; two
// backslashes in a row give an empty component, and so does a leading one.
#include "base/text_string.h"

class CPathComponents {
public:
    explicit CPathComponents(const char* path);
    // The next component, the first one on the first call; null after the
    // last. Valid until the next call.
    const char* Next();

private:
    CTextString m_strPath;
};

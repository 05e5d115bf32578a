// Text conversions of the host build: std::wstring (UTF-32) <-> UTF-8 bytes.
#pragma once

#include <string>

namespace platform {

// Bytes that are not valid UTF-8 travel as U+DC80..U+DCFF and come back unchanged,
// so every name the file system reports can be handed back to it.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& bytes);

// A backslash-separated path as the host's file calls take it.
std::string ToNativePath(const std::wstring& path);

}  // namespace platform

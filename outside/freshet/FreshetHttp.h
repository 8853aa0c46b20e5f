#pragma once
#include <string>

// HTTP through the system's internet functions. Only a 200 answer counts; nothing is cached.
namespace freshet {

// The whole body, when it is at most maxBytes long.
bool FetchBody(const std::wstring& url, size_t maxBytes, std::string& body);

// Writes the body to target through "<target>.part", renamed only once every byte has arrived:
// the length the server announced and, when expectedSize is not 0, that size. Whatever fails
// leaves neither file behind (an older target is kept only when nothing was renamed over it).
bool DownloadToFile(const std::wstring& url, const std::wstring& target, unsigned long long expectedSize);

}  // namespace freshet

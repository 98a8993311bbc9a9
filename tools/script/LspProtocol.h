#pragma once
// The Language Server Protocol's framing over a byte stream: each message is
// a "Content-Length: N" header block, a blank line and N bytes of JSON.
#include <cstdio>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace scripttool::lsp {

using Json = nlohmann::json;

// The next message's JSON text, or nothing at the end of the stream or on a
// header block without a length (the stream cannot be followed after it).
std::optional<std::string> ReadMessage(std::FILE* in);
void WriteMessage(std::FILE* out, const Json& message);

// file:// URIs and host paths (UTF-8). A URI of another scheme gives "".
std::string PathFromUri(const std::string& uri);
std::string UriFromPath(const std::string& path);

}  // namespace scripttool::lsp

#pragma once
// The three forms in which an archive made on the game's home platform
// leaves a Japanese file name on Linux: raw CP932 bytes, proper UTF-8, or
// UTF-8 mojibake where the unpacker read the CP932 bytes as code page 437
// (plain unzip). Each is turned back into proper UTF-8 here.
#include <string>
#include <string_view>

namespace platform {

enum class NameForm { Utf8, Cp932Bytes, Cp437Mojibake, Unknown };

// The form of one name (a single path component) and its proper UTF-8
// spelling (the name itself for Utf8 and Unknown). Plain ASCII is Utf8. A
// UTF-8 name counts as mojibake only when all its characters are CP437's and
// their bytes read as CP932 with kana or kanji in it: real UTF-8 names such
// as "Café" or "Cafés" do not.
NameForm ClassifyName(std::string_view name, std::string& properUtf8);

// Strict conversions; false on any byte or character without a mapping.
bool Cp932ToUtf8Strict(std::string_view cp932, std::string& utf8);
bool Utf8ToCp437(std::string_view utf8, std::string& bytes);
// Bytes read as code page 437, as plain unzip does (every byte has a character).
std::string Cp437ToUtf8(std::string_view bytes);

}  // namespace platform

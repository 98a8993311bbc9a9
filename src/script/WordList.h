#pragma once
// The word list: the unit in which script and save files are read and
// written. Each word is a CP932 byte string; bytes are not interpreted, so a
// double-byte character is simply two bytes of a word. A list read from a file
// never holds an empty word, nor, in the plain form, a whitespace byte inside
// a word (deciphering can turn a byte into a whitespace value).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

using WordList = std::vector<std::string>;

// Word separators are exactly these six bytes. The ideographic space
// 0x81 0x40 is not one of them: it stays inside its word.
inline bool IsWordSpace(unsigned char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20; }

// Appends the whitespace-separated words of bytes to words. offsets, when
// given, receives the byte offset of each appended word's first byte (the
// script tool names lines and columns with it).
void SplitWords(std::string_view bytes, WordList& words, std::vector<size_t>* offsets = nullptr);

// Removes "/*" ... "*/" blocks in one forward pass. Markers are whole words;
// blocks do not nest; an unclosed block runs to the end of the list.
void RemoveCommentBlocks(WordList& words);

// The file form of a list: each word's bytes up to its first zero byte,
// followed by CR LF (the line end the Windows game writes and reads).
std::string JoinWords(const WordList& words);

#pragma once
// Reads and writes script and save files as word lists (see WordList.h).
// The enciphered kind carries an "E" before the first "." of its path
// ("GameData\Text\a.Dat" is stored as "GameData\Text\aE.Dat") and its words
// go through CCipher with the fixed key. Paths are engine paths: CP932 bytes
// with backslashes, relative to the game directory.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/diagnostics/Result.h"
#include "script/CCipher.h"
#include "script/WordList.h"

class CTextFile {
 public:
  explicit CTextFile(bool encrypted);
  ~CTextFile();
  CTextFile(const CTextFile&) = delete;
  CTextFile& operator=(const CTextFile&) = delete;

  // Replaces words with the file's words (deciphered when enciphered, comment
  // blocks removed). E_FAIL when the file does not exist, or when an
  // enciphered path has no "." to mark. A file that exists but cannot be
  // read (a directory) gives S_OK and no words.
  HRESULT Read(std::string path, WordList& words);
  // Read for a file the engine wrote for the player (a save): found in the
  // place saves are written to first. E_FAIL also for a name that climbs
  // out of the game with ".." or is absolute.
  HRESULT ReadSaved(std::string path, WordList& words);
  // Writes one word per line, crash-safe: the old file is replaced only once
  // the new one is complete on disk. In the enciphered kind words are
  // enciphered in place first (callers discard the list). E_FAIL, with the
  // old file untouched, when the file cannot be written, when an enciphered
  // path has no "." (then nothing is enciphered either), or when an
  // enciphered word would not read back (see FindUnreadableByte), or when
  // the name climbs out of the game or its place leads out by a link.
  HRESULT Write(std::string path, WordList& words);

  bool IsEncrypted() const { return encrypted != 0; }

  // The byte-level halves of Read and Write, without file access.
  void DecodeBytes(std::string_view fileBytes, WordList& words);
  std::string EncodeWords(WordList& words);

  // The reader splits at whitespace and the writer ends a word at a zero
  // byte, so an enciphered word (its trailing space aside) holding either
  // byte would come back split or cut, and every word after it deciphered
  // with the wrong key bytes. Finds the first such byte; false when none.
  static bool FindUnreadableByte(const WordList& enciphered, size_t& word, size_t& byte);

  // Whether words written as one stretch of a file, the key cursor standing
  // at key byte `phase` (mod kKeyLength) for their first byte, read back as
  // they are: no word is empty or "/*" and, enciphered, none holds
  // whitespace or a zero byte. Plain files need words without either,
  // whatever the phase.
  bool ReadsBackAt(const WordList& words, size_t phase) const;

  // Replaces the first "." of path by "E.". 0x2E is never a CP932 trail
  // byte, so a plain byte scan is safe. False when path has no ".".
  static bool MarkEnciphered(std::string& path);

  // Both directions use this one key.
  static constexpr const char* kKey = "qlymzo5170";
  static constexpr size_t kKeyLength = 10;

 private:
  // Read and ReadSaved: the same reading, from the game or from where saves are kept.
  HRESULT ReadFrom(std::string path, WordList& words, bool saved);

  std::unique_ptr<CCipher> cipher;
  int32_t encrypted;
};

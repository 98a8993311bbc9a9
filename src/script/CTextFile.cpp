#include "script/CTextFile.h"

#include <string_view>

#include "platform/diagnostics/Debug.h"
#include "platform/files/Files.h"

CTextFile::CTextFile(bool encrypted) : cipher(std::make_unique<CCipher>()), encrypted(encrypted ? 1 : 0) {}

CTextFile::~CTextFile() { cipher.reset(); }

bool CTextFile::MarkEnciphered(std::string& path) {
  size_t dot = path.find('.');
  if (dot == std::string::npos) return false;
  path.insert(dot, 1, 'E');
  return true;
}

void CTextFile::DecodeBytes(std::string_view fileBytes, WordList& words) {
  WordList().swap(words);
  // A 0x1A byte is an ordinary byte here: the cipher produces it from
  // ordinary text, so it must not end the file.
  SplitWords(fileBytes, words);
  if (encrypted) cipher->Decrypt(words, kKey);
  RemoveCommentBlocks(words);
}

bool CTextFile::FindUnreadableByte(const WordList& enciphered, size_t& word, size_t& byte) {
  for (word = 0; word < enciphered.size(); ++word) {
    const std::string& w = enciphered[word];
    for (byte = 0; byte + 1 < w.size(); ++byte) {
      unsigned char c = static_cast<unsigned char>(w[byte]);
      if (c == 0 || IsWordSpace(c)) return true;
    }
  }
  return false;
}

static_assert(std::string_view(CTextFile::kKey).size() == CTextFile::kKeyLength);

bool CTextFile::ReadsBackAt(const WordList& words, size_t phase) const {
  // An empty word leaves no trace; "/*" opens a comment block that takes
  // the words after it along.
  for (const std::string& w : words) {
    if (w.empty() || w == "/*") return false;
  }
  if (!encrypted) {
    for (const std::string& w : words) {
      for (char c : w) {
        if (c == 0 || IsWordSpace(static_cast<unsigned char>(c))) return false;
      }
    }
    return true;
  }
  // The writer's own cipher over a copy, its cursor moved on by a lead-in
  // word that is dropped again ('0' never enciphers to whitespace).
  WordList copy;
  copy.reserve(words.size() + 1);
  copy.emplace_back(phase % kKeyLength, '0');
  copy.insert(copy.end(), words.begin(), words.end());
  cipher->Encrypt(copy, kKey);
  copy.erase(copy.begin());
  size_t word = 0;
  size_t byte = 0;
  return !FindUnreadableByte(copy, word, byte);
}

std::string CTextFile::EncodeWords(WordList& words) {
  if (encrypted) cipher->Encrypt(words, kKey);
  return JoinWords(words);
}

HRESULT CTextFile::Read(std::string path, WordList& words) { return ReadFrom(std::move(path), words, false); }

HRESULT CTextFile::ReadSaved(std::string path, WordList& words) { return ReadFrom(std::move(path), words, true); }

HRESULT CTextFile::ReadFrom(std::string path, WordList& words, bool saved) {
  WordList().swap(words);  // emptied and its storage released, whatever follows
  if (encrypted && !MarkEnciphered(path)) return E_FAIL;
  if (saved && !platform::IsContainedPath(path)) return E_FAIL;
  if (!(saved ? platform::SavedFileExists(path) : platform::FileExists(path))) return E_FAIL;
  std::string bytes;
  // An unreadable entry (a directory, a read error) still counts as found:
  // the words read so far, possibly none, are the result.
  if (saved) platform::ReadSavedFile(path, bytes);
  else platform::ReadWholeFile(path, bytes, platform::file_caps::kScript);
  DecodeBytes(bytes, words);
  return S_OK;
}

HRESULT CTextFile::Write(std::string path, WordList& words) {
  if (encrypted && !MarkEnciphered(path)) return E_FAIL;
  std::string bytes = EncodeWords(words);
  size_t word = 0;
  size_t byte = 0;
  if (encrypted && FindUnreadableByte(words, word, byte)) {
    // Writing it would replace a good file with one that reads back wrong.
    platform::OutputDebugString("CTextFile: word " + std::to_string(word) + " of " + path +
                                " enciphers to whitespace or zero and would not read back; not written\n");
    return E_FAIL;
  }
  // A save must never destroy the previous one: the platform writes a
  // temporary file, syncs it and renames it over the target.
  return platform::WriteGameFile(path, bytes) ? S_OK : E_FAIL;
}

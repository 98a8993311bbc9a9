#include "script/CCipher.h"

#include <cstdio>

#include "platform/text/TextCodec.h"

namespace {
bool traceOn = false;

// Standard output is an edge of the engine: the line goes out in UTF-8.
void TraceLine(const std::string& labelCp932, const std::string& word) {
  if (!traceOn) return;
  std::string line = platform::Cp932ToUtf8(labelCp932 + word);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

// Walks every byte of the list with the one running key cursor.
template <class Step>
void Walk(WordList& words, const std::string& key, Step step) {
  size_t cursor = 0;
  for (std::string& word : words) {
    step.Before(word);
    for (char& c : word) {
      if (cursor >= key.size()) cursor = 0;
      unsigned k = static_cast<unsigned char>(key[cursor]) & 0x0Fu;
      c = static_cast<char>(step.Apply(static_cast<unsigned char>(c), k) & 0xFFu);
      ++cursor;
    }
    step.After(word);
  }
}

struct EncryptStep {
  void Before(const std::string& w) const { TraceLine(SJ("元の文字列："), w); }
  unsigned Apply(unsigned c, unsigned k) const { return c - k; }
  void After(std::string& w) const {
    w += ' ';
    TraceLine(SJ("暗号後："), w);
  }
};

struct DecryptStep {
  void Before(const std::string&) const {}
  unsigned Apply(unsigned c, unsigned k) const { return c + k; }
  void After(const std::string& w) const { TraceLine(SJ("復号後："), w); }
};
}  // namespace

bool CCipher::Encrypt(WordList& words, std::string key) {
  if (key.empty()) return false;
  Walk(words, key, EncryptStep{});
  return true;
}

bool CCipher::Decrypt(WordList& words, std::string key) {
  if (key.empty()) return false;
  Walk(words, key, DecryptStep{});
  return true;
}

void CCipher::SetTrace(bool on) { traceOn = on; }

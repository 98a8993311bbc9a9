#include "ScriptLayout.h"

#include <array>
#include <climits>

#include "script/CTextFile.h"

namespace scripttool {
namespace {
constexpr size_t kKey = CTextFile::kKeyLength;
constexpr int kNone = INT_MAX;
constexpr int kNoBlock = -1;
const char kPad = '_';  // enciphers to a printable byte under every key byte

size_t Mod(size_t n) { return n % kKey; }

// A padding block of pad bytes between its markers: 4 + pad bytes in all.
bool BlockReadsBackAt(size_t phase, int pad) {
  return WordReadsBackAt("/*", phase) && (pad == 0 || WordReadsBackAt(std::string(size_t(pad), kPad), phase + 2)) &&
         WordReadsBackAt("*/", phase + 2 + size_t(pad));
}

// How word i came to start at a key position: the cheapest way there.
struct Way {
  int cost = kNone;  // padding blocks so far
  int pad = kNoBlock;  // the block before the word (kNoBlock: none)
  size_t from = 0;     // the key position the block (or the word) started at
};
}  // namespace

bool WordReadsBackAt(const std::string& word, size_t phase) {
  for (size_t i = 0; i < word.size(); ++i) {
    const unsigned k = static_cast<unsigned char>(CTextFile::kKey[Mod(phase + i)]) & 0x0Fu;
    const unsigned char c = static_cast<unsigned char>((static_cast<unsigned char>(word[i]) - k) & 0xFFu);
    if (c == 0 || IsWordSpace(c)) return false;
  }
  return true;
}

ScriptLayout LayOutScript(const WordList& engineWords) {
  ScriptLayout out;
  const size_t n = engineWords.size();
  // ways[i][p]: word i starting at key position p. A search over the ten
  // positions finds the fewest blocks, where a greedy choice could paint
  // itself into a corner (no block can start at every position).
  std::vector<std::array<Way, kKey>> ways(n);
  std::array<int, kKey> ends{};  // cost of the words so far ending at each position
  ends.fill(kNone);
  ends[0] = 0;
  for (size_t i = 0; i < n; ++i) {
    const std::string& word = engineWords[i];
    // A "/*" would open a block of its own (comments are gone before this).
    for (size_t start = 0; start < kKey && word != "/*"; ++start) {
      if (ends[start] == kNone) continue;
      auto offer = [&](size_t at, int cost, int pad) {
        Way& w = ways[i][at];
        if (cost < w.cost || (cost == w.cost && pad < w.pad)) w = Way{cost, pad, start};
      };
      if (WordReadsBackAt(word, start)) offer(start, ends[start], kNoBlock);
      for (int pad = 0; pad < int(kKey); ++pad) {
        const size_t at = Mod(start + 4 + size_t(pad));
        if (BlockReadsBackAt(start, pad) && WordReadsBackAt(word, at)) offer(at, ends[start] + 1, pad);
      }
    }
    std::array<int, kKey> next{};
    next.fill(kNone);
    bool any = false;
    for (size_t at = 0; at < kKey; ++at) {
      if (ways[i][at].cost == kNone) continue;
      next[Mod(at + word.size())] = ways[i][at].cost;
      any = true;
    }
    if (!any) {
      out.unplaceable = i;
      out.readsNowhere = word != "/*";
      for (size_t p = 0; p < kKey; ++p) out.readsNowhere = out.readsNowhere && !WordReadsBackAt(word, p);
      return out;
    }
    ends = next;
  }
  // Back from the cheapest end, then forwards again.
  size_t best = 0;
  for (size_t p = 1; p < kKey; ++p)
    if (ends[p] < ends[best]) best = p;
  std::vector<int> pads(n, kNoBlock);
  size_t end = best;
  for (size_t i = n; i-- > 0;) {
    const size_t at = Mod(end + kKey - Mod(engineWords[i].size()));
    const Way& w = ways[i][at];
    pads[i] = w.pad;
    end = w.from;
  }
  for (size_t i = 0; i < n; ++i) {
    if (pads[i] != kNoBlock) {
      out.fileWords.emplace_back("/*");
      if (pads[i] > 0) out.fileWords.emplace_back(size_t(pads[i]), kPad);
      out.fileWords.emplace_back("*/");
      ++out.blocks;
    }
    out.fileWords.push_back(engineWords[i]);
  }
  return out;
}

}  // namespace scripttool

// help [KEYWORD]: the script language's keywords, as docs/script-language.md
// gives them.
#include <cstdio>

#include "KeywordReference.h"
#include "ScriptTool.h"
#include "Typos.h"
#include "platform/text/TextCodec.h"

namespace scripttool {

int RunHelp(const std::vector<std::string>& args) {
  if (args.size() > 1) {
    PrintError("help: expected at most 1 argument, got " + std::to_string(args.size()) +
               " (usage: vantorel-script help [KEYWORD])");
    return kUsage;
  }
  if (args.empty()) {
    std::fputs(KeywordReferenceMarkdown().c_str(), stdout);
    return kOk;
  }
  if (const KeywordEntry* entry = FindKeywordEntry(args[0])) {
    std::fputs(KeywordMarkdown(*entry).c_str(), stdout);
    return kOk;
  }
  const Typo typo = KeywordMeant(platform::Utf8ToCp932Lossy(args[0]));
  PrintError("help: \"" + args[0] + "\" is no keyword" +
             (typo.keyword.empty() ? std::string(" (vantorel-script help lists them)")
                                   : "; did you mean " + platform::Cp932ToUtf8(typo.keyword) + "?"));
  return kFailed;
}

}  // namespace scripttool

// lsp [--game GAMEDIR] [--source SRCDIR] [--cp932]: the language server, on
// stdin and stdout.
#include <cstdio>

#include "LspServer.h"
#include "ScriptTool.h"

namespace scripttool {

int RunLsp(const std::vector<std::string>& args) {
  const char* usage = " (usage: vantorel-script lsp [--game GAMEDIR] [--source SRCDIR] [--cp932])";
  lsp::ServerOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--game" || args[i] == "--source") && i + 1 < args.size()) {
      (args[i] == "--game" ? options.gameDir : options.sourceDir) = args[i + 1];
      ++i;
    } else if (args[i] == "--cp932") {
      options.cp932 = true;
    } else if (args[i] == "--stdio") {
      // What editors pass to say the transport; stdio is the only one.
    } else {
      PrintError("lsp: unexpected argument \"" + args[i] + "\"" + usage);
      return kUsage;
    }
  }
  lsp::Server server(options);
  while (auto text = lsp::ReadMessage(stdin)) {
    lsp::Json message = lsp::Json::parse(*text, nullptr, false);
    if (message.is_discarded()) {
      lsp::WriteMessage(stdout, {{"jsonrpc", "2.0"},
                                 {"id", nullptr},
                                 {"error", {{"code", -32700}, {"message", "the message is not JSON"}}}});
      continue;
    }
    for (const lsp::Json& out : server.Handle(message)) lsp::WriteMessage(stdout, out);
    if (server.exited()) return server.exitStatus();
  }
  return kOk;  // the client went away
}

}  // namespace scripttool

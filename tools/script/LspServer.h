#pragma once
// `vantorel-script lsp`: a language server for plain scripts. It reads the
// game's sources from disk once, takes each open document from the editor's
// buffer, and answers with the checks of `check --source`, completion,
// hover, go to definition and document symbols.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "LspIndex.h"
#include "LspProtocol.h"

namespace scripttool::lsp {

struct ServerOptions {
  std::string gameDir;    // empty: found from the first document opened
  std::string sourceDir;  // empty: the build record's, or found beside GameData
  bool cp932 = false;
};

class Server {
 public:
  explicit Server(ServerOptions options);
  // One message from the client in, every message to send back out (the
  // response, if any, first).
  std::vector<Json> Handle(const Json& message);
  bool exited() const { return exited_; }
  // The process's exit status once `exit` came: 0 after a shutdown.
  int exitStatus() const { return shutdown_ ? 0 : 1; }

 private:
  struct Document {
    std::string uri;
    std::string path;  // canonical host path
    std::string name;  // engine name; empty: not one of the game's sources
    std::string text;  // UTF-8, as the editor holds it
  };

  Json Dispatch(const std::string& method, const Json& params, std::vector<Json>& notes);
  Json Initialize(const Json& params);
  void Open(const std::string& uri, std::string text);
  void Reload(const std::string& path);
  void Locate(const std::string& documentPath);
  void PublishAll(std::vector<Json>& notes);
  Json DiagnosticsOf(const Document& doc, const std::vector<Diagnostic>& all);
  Json Completion(const Json& params);
  Json Hover(const Json& params);
  Json Definitions(const Json& params);
  Json Symbols(const Json& params);

  // The index of a script input, made when first asked for.
  const ScriptIndex& IndexOf(size_t input);
  const Document* DocumentOf(const Json& params) const;
  const ScriptIndex* DocumentIndex(const Json& params, Place& at);
  Json LocationOf(const ScriptIndex& index, size_t word);

  ServerOptions options_;
  bool located_ = false;
  std::string gameAbs_, sourceAbs_;
  std::vector<ScriptInput> inputs_;
  std::map<std::string, size_t> byName_;
  std::vector<std::optional<ScriptIndex>> indexes_;
  std::map<std::string, Document> documents_;  // by URI
  std::map<std::string, ScriptIndex> loose_;   // documents outside the game, by URI
  GameCheck check_;
  bool shutdown_ = false, exited_ = false;
};

}  // namespace scripttool::lsp

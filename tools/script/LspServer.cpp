// The server's life and documents: initialize, open, change, save, close,
// and the diagnostics published after each change.
#include "LspServer.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "BuildRecord.h"
#include "platform/text/TextCodec.h"

namespace scripttool::lsp {
namespace fs = std::filesystem;

namespace {
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;

std::string Canonical(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? fs::path(path).lexically_normal().string() : p.string();
}

bool Below(const std::string& path, const std::string& dir) {
  if (dir.empty()) return false;
  const std::string rel = fs::path(path).lexically_relative(dir).generic_string();
  return !rel.empty() && rel != "." && rel.rfind("..", 0) != 0;
}

// Thrown for a request whose parameters are not what the protocol says.
struct BadParams {};
}  // namespace

Server::Server(ServerOptions options) : options_(std::move(options)) {
  if (!options_.gameDir.empty()) Locate("");
}

std::vector<Json> Server::Handle(const Json& message) {
  std::vector<Json> out;
  if (!message.is_object() || !message.contains("method") || !message["method"].is_string()) return out;
  const std::string method = message["method"];
  const Json params = message.value("params", Json::object());
  const bool request = message.contains("id");
  std::vector<Json> notes;
  Json response = {{"jsonrpc", "2.0"}, {"id", request ? message["id"] : Json()}};
  try {
    Json result = Dispatch(method, params, notes);
    if (result.is_object() && result.contains("__unknown")) {
      response["error"] = {{"code", kMethodNotFound}, {"message", "unknown method " + method}};
    } else {
      response["result"] = std::move(result);
    }
  } catch (const BadParams&) {
    response["error"] = {{"code", kInvalidParams}, {"message", "bad parameters for " + method}};
  } catch (const Json::exception& e) {
    response["error"] = {{"code", kInvalidParams}, {"message", std::string(e.what())}};
  }
  if (request) out.push_back(std::move(response));
  for (Json& n : notes) out.push_back(std::move(n));
  return out;
}

Json Server::Dispatch(const std::string& method, const Json& params, std::vector<Json>& notes) {
  if (method == "initialize") return Initialize(params);
  if (method == "shutdown") {
    shutdown_ = true;
    return nullptr;
  }
  if (method == "exit") {
    exited_ = true;
    return nullptr;
  }
  if (method == "textDocument/didOpen") {
    const Json& doc = params.at("textDocument");
    Open(doc.at("uri"), doc.at("text"));
    PublishAll(notes);
    return nullptr;
  }
  if (method == "textDocument/didChange") {
    auto it = documents_.find(params.at("textDocument").at("uri"));
    if (it == documents_.end()) return nullptr;
    // Full synchronisation: the last change holds the whole text.
    for (const Json& change : params.at("contentChanges")) it->second.text = change.at("text");
    Open(it->first, it->second.text);
    PublishAll(notes);
    return nullptr;
  }
  if (method == "textDocument/didSave") {
    auto it = documents_.find(params.at("textDocument").at("uri"));
    if (it != documents_.end() && params.contains("text")) Open(it->first, params["text"]);
    return nullptr;
  }
  if (method == "textDocument/didClose") {
    const std::string uri = params.at("textDocument").at("uri");
    auto it = documents_.find(uri);
    if (it == documents_.end()) return nullptr;
    const std::string path = it->second.path;
    documents_.erase(it);
    loose_.erase(uri);
    Reload(path);  // back to what the disk says
    notes.push_back({{"jsonrpc", "2.0"},
                     {"method", "textDocument/publishDiagnostics"},
                     {"params", {{"uri", uri}, {"diagnostics", Json::array()}}}});
    PublishAll(notes);
    return nullptr;
  }
  if (method == "workspace/didChangeWatchedFiles") {
    for (const Json& change : params.value("changes", Json::array())) {
      const std::string path = Canonical(PathFromUri(change.value("uri", "")));
      bool open = false;
      for (const auto& [uri, doc] : documents_) open = open || doc.path == path;
      if (!open) Reload(path);
    }
    PublishAll(notes);
    return nullptr;
  }
  if (method == "textDocument/completion") return Completion(params);
  if (method == "textDocument/hover") return Hover(params);
  if (method == "textDocument/definition") return Definitions(params);
  if (method == "textDocument/documentSymbol") return Symbols(params);
  if (method == "initialized" || method.rfind("$/", 0) == 0) return nullptr;
  return Json{{"__unknown", true}};
}

Json Server::Initialize(const Json& params) {
  // A workspace that is a game (or holds the game named on the command line)
  // is found now; otherwise from the first document opened.
  if (!located_ && params.contains("rootUri") && params["rootUri"].is_string()) {
    const std::string root = PathFromUri(params["rootUri"]);
    std::error_code ec;
    if (!root.empty() && fs::is_directory(fs::path(root) / "GameData", ec)) Locate(root + "/.");
  }
  return {{"capabilities",
           {{"textDocumentSync", {{"openClose", true}, {"change", 1}, {"save", {{"includeText", true}}}}},
            {"completionProvider", {{"triggerCharacters", {"$", "\\"}}}},
            {"hoverProvider", true},
            {"definitionProvider", true},
            {"documentSymbolProvider", true}}},
          {"serverInfo", {{"name", "vantorel-script"}}}};
}

void Server::Locate(const std::string& documentPath) {
  if (located_) return;
  std::error_code ec;
  std::string game = options_.gameDir;
  std::string source = options_.sourceDir;
  if (game.empty()) {
    // The nearest directory above the document that holds GameData.
    for (fs::path dir = fs::path(documentPath).parent_path(); !dir.empty(); dir = dir.parent_path()) {
      if (fs::is_directory(dir / "GameData", ec)) {
        game = dir.string();
        break;
      }
      if (dir == dir.parent_path()) break;
    }
    if (game.empty()) return;  // no game yet: each document is checked alone
  }
  located_ = true;
  gameAbs_ = Canonical(game);
  if (source.empty() && !ReadBuildRecord(gameAbs_, source)) {
    // The directory below the game that holds the document ("scripts").
    const fs::path rel = fs::path(Canonical(documentPath)).lexically_relative(gameAbs_);
    if (!rel.empty() && rel.begin() != rel.end() && *rel.begin() != "..") source = (fs::path(gameAbs_) / *rel.begin()).string();
  }
  if (!source.empty() && fs::is_directory(source, ec)) sourceAbs_ = Canonical(source);
  // Pictures, sounds and scripts are found as the engine finds them.
  fs::current_path(gameAbs_, ec);
  std::vector<Diagnostic> unreadable;  // reported again when such a file is opened
  std::string error;
  if (!sourceAbs_.empty()) LoadSourceInputs(sourceAbs_, sourceAbs_, options_.cp932, inputs_, unreadable, error);
  AddBuiltInputs(inputs_, error);
  for (size_t i = 0; i < inputs_.size(); ++i) byName_[inputs_[i].name] = i;
  indexes_.assign(inputs_.size(), std::nullopt);
}

void Server::Open(const std::string& uri, std::string text) {
  const std::string path = Canonical(PathFromUri(uri));
  Locate(path);
  Document& doc = documents_[uri];
  doc.uri = uri;
  doc.path = path;
  doc.text = std::move(text);
  std::vector<Diagnostic> problems;
  if (!Below(path, sourceAbs_) || !ScriptNameOfSource(sourceAbs_, path, doc.name)) {
    doc.name.clear();
    loose_[uri] = IndexScript(InputFromSource("", path, doc.text, options_.cp932, problems));
    return;
  }
  ScriptInput input = InputFromSource(doc.name, path, doc.text, options_.cp932, problems);
  auto it = byName_.find(doc.name);
  if (it == byName_.end()) {
    byName_[doc.name] = inputs_.size();
    inputs_.push_back(std::move(input));
    indexes_.emplace_back();
  } else {
    inputs_[it->second] = std::move(input);
    indexes_[it->second].reset();
  }
}

void Server::Reload(const std::string& path) {
  std::string name;
  if (!Below(path, sourceAbs_) || !ScriptNameOfSource(sourceAbs_, path, name)) return;
  auto it = byName_.find(name);
  std::string bytes, error;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || !ReadHostFile(path, bytes, error)) {
    // Gone from the disk: it no longer counts as a script of the game.
    if (it != byName_.end()) {
      inputs_[it->second] = ScriptInput{};
      inputs_[it->second].readable = false;
      indexes_[it->second].reset();
    }
    return;
  }
  std::vector<Diagnostic> problems;
  ScriptInput input = InputFromSource(name, path, bytes, options_.cp932, problems);
  if (it == byName_.end()) {
    byName_[name] = inputs_.size();
    inputs_.push_back(std::move(input));
    indexes_.emplace_back();
  } else {
    inputs_[it->second] = std::move(input);
    indexes_[it->second].reset();
  }
}

const ScriptIndex& Server::IndexOf(size_t input) {
  if (!indexes_[input]) indexes_[input] = IndexScript(inputs_[input]);
  return *indexes_[input];
}

void Server::PublishAll(std::vector<Json>& notes) {
  std::vector<Diagnostic> all;
  bool any = false;
  for (const auto& [uri, doc] : documents_) any = any || !doc.name.empty();
  if (any) {
    std::vector<ScriptInput> present;  // inputs of files gone from disk are left out
    const std::vector<ScriptInput>* inputs = &inputs_;
    for (const ScriptInput& in : inputs_) {
      if (in.name.empty()) {
        present.reserve(inputs_.size());
        for (const ScriptInput& i : inputs_)
          if (!i.name.empty()) present.push_back(i);
        inputs = &present;
        break;
      }
    }
    std::set<std::string> open;
    for (const auto& [uri, doc] : documents_)
      if (!doc.name.empty()) open.insert(doc.name);
    all = check_.Run(*inputs, open);
  }
  for (const auto& [uri, doc] : documents_) {
    notes.push_back({{"jsonrpc", "2.0"},
                     {"method", "textDocument/publishDiagnostics"},
                     {"params", {{"uri", uri}, {"diagnostics", DiagnosticsOf(doc, all)}}}});
  }
}

Json Server::DiagnosticsOf(const Document& doc, const std::vector<Diagnostic>& all) {
  Json out = Json::array();
  auto add = [&](Severity severity, size_t line, size_t character, size_t length, const std::string& message,
                 const std::string& suggestion) {
    Json d = {{"range",
               {{"start", {{"line", line}, {"character", character}}},
                {"end", {{"line", line}, {"character", character + length}}}}},
              {"severity", severity == Severity::Error ? 1 : 2},
              {"source", "vantorel-script"},
              {"message", message}};
    if (!suggestion.empty()) d["data"] = {{"suggestion", suggestion}};
    out.push_back(std::move(d));
  };
  if (doc.name.empty()) {
    // A script outside the game: what the script says by itself.
    auto it = loose_.find(doc.uri);
    if (it == loose_.end()) return out;
    ScriptIndex& index = it->second;
    std::vector<Finding> findings;
    WalkedScript walked;
    walked.words = index.words;
    WalkScript(walked, findings);
    std::vector<Diagnostic> problems;
    InputFromSource("", doc.path, doc.text, options_.cp932, problems);
    for (const Diagnostic& d : problems)
      add(d.severity, d.line ? d.line - 1 : 0, d.column ? d.column - 1 : 0, d.length, d.message, d.suggestion);
    for (const Finding& f : findings) {
      const WordPlace p = f.word < index.places.size() ? index.places[f.word] : WordPlace{};
      add(f.severity, p.start.line, p.start.character, p.length, f.message, f.suggestion);
    }
    return out;
  }
  for (const Diagnostic& d : all) {
    if (d.file != doc.path && !(d.file.empty() && d.script == doc.name && d.line == 0)) continue;
    add(d.severity, d.line ? d.line - 1 : 0, d.column ? d.column - 1 : 0, d.length, d.message, d.suggestion);
  }
  // A source that cannot be read is not among the inputs' diagnostics.
  auto it = byName_.find(doc.name);
  if (it != byName_.end() && !inputs_[it->second].readable) {
    std::vector<Diagnostic> problems;
    InputFromSource(doc.name, doc.path, doc.text, options_.cp932, problems);
    for (const Diagnostic& d : problems)
      add(d.severity, d.line ? d.line - 1 : 0, d.column ? d.column - 1 : 0, d.length, d.message, d.suggestion);
  }
  return out;
}

}  // namespace scripttool::lsp

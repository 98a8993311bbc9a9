// The language server through its protocol: the framing of messages, and
// the answers to an editor's requests on a small game whose buffers differ
// from what is on disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "LspProtocol.h"
#include "LspServer.h"
#include "support/ScratchDir.h"

namespace scripttool::lsp {
namespace {

TEST(LspProtocol, FramesMessagesAndTellsAStreamThatCannotBeFollowed) {
  const std::string stream =
      "Content-Length: 7\r\n\r\n{\"a\":1}"
      "content-length: 2\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}"
      "X-Other: 1\r\n\r\n{}";
  std::FILE* in = fmemopen(const_cast<char*>(stream.data()), stream.size(), "r");
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(ReadMessage(in).value_or("?"), "{\"a\":1}");
  EXPECT_EQ(ReadMessage(in).value_or("?"), "{}");
  EXPECT_FALSE(ReadMessage(in).has_value());  // no length: nothing after it can be trusted
  std::fclose(in);

  // Paths with spaces and Japanese survive the trip through a URI.
  const std::string path = "/tmp/my game/本編/はじまり.txt";
  EXPECT_EQ(UriFromPath(path), "file:///tmp/my%20game/%E6%9C%AC%E7%B7%A8/%E3%81%AF%E3%81%98%E3%81%BE%E3%82%8A.txt");
  EXPECT_EQ(PathFromUri(UriFromPath(path)), path);
  EXPECT_EQ(PathFromUri("untitled:Untitled-1"), "");
}

class LspServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The engine's own files, a picture and a sound; an opening script
    // defining the aliases, and a scene that uses them.
    for (const char* f : {"GameData/Texture/MsgBox/MsgBox.dds", "GameData/Texture/MsgBox/CharaPicFrame.dds",
                          "GameData/Texture/MsgBox/Cursor.tga", "GameData/Music/SE/Kachi04.wav",
                          "GameData/Music/SE/Push11.wav", "GameData/Texture/BG/Park.png", "GameData/Music/SE/Bell.wav"})
      dir_.Write(std::string("game/") + f, "x");
    dir_.Write("game/GameData/Text/.keep", "");
    Write("オープニング/オープニング1.txt",
          "Texture 公園 BG\\Park.png\nSELoad Bell.wav 鈴\nstring $次 = 本編\\公園\n"
          "ButtonMenu { フォーマット 1 1 メニューアイテム { 行く 1 $次 } }\n");
    Write("本編/公園.txt", "BG 公園\nSEPlay 鈴\nナレーション： 公園。\nGameEnd\n");
  }
  void Write(const std::string& rel, const std::string& text) { dir_.Write("game/scripts/" + rel, text); }
  std::string Uri(const std::string& rel) { return UriFromPath(dir_.Path() + "/game/scripts/" + rel); }

  std::vector<Json> Send(const std::string& method, Json params, bool request = true) {
    Json m = {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
    if (request) m["id"] = ++id_;
    return server_.Handle(m);
  }
  Json Request(const std::string& method, Json params) {
    std::vector<Json> out = Send(method, std::move(params));
    EXPECT_FALSE(out.empty());
    return out.empty() ? Json() : out.front();
  }
  // The diagnostics published for `uri` among the messages.
  static Json DiagnosticsFor(const std::vector<Json>& out, const std::string& uri) {
    for (const Json& m : out)
      if (m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri)
        return m["params"]["diagnostics"];
    return nullptr;
  }
  std::vector<Json> Open(const std::string& rel, const std::string& text) {
    return Send("textDocument/didOpen", {{"textDocument", {{"uri", Uri(rel)}, {"languageId", "vantorel"}, {"version", 1}, {"text", text}}}}, false);
  }
  std::vector<Json> Change(const std::string& rel, const std::string& text) {
    return Send("textDocument/didChange", {{"textDocument", {{"uri", Uri(rel)}, {"version", 2}}}, {"contentChanges", {{{"text", text}}}}}, false);
  }
  Json At(const std::string& rel, int line, int character) {
    return {{"textDocument", {{"uri", Uri(rel)}}}, {"position", {{"line", line}, {"character", character}}}};
  }
  static std::vector<std::string> Labels(const Json& response) {
    std::vector<std::string> labels;
    for (const Json& item : response["result"]) labels.push_back(item["label"]);
    return labels;
  }

  ScratchDir dir_{ScratchDir::kEnter, "lsp"};
  Server server_{ServerOptions{}};
  int id_ = 0;
};

TEST_F(LspServerTest, DiagnosticsComeFromTheBuffersNotTheDisk) {
  const Json init = Request("initialize", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", Json::object()}});
  EXPECT_EQ(init["result"]["capabilities"]["textDocumentSync"]["change"], 1);
  const std::string scene = Uri("本編/公園.txt");
  Json d = DiagnosticsFor(Open("本編/公園.txt", "BG 公園\nSEPaly 鈴\nGameEnd\n"), scene);
  ASSERT_EQ(d.size(), 1u) << d.dump();
  EXPECT_EQ(d[0]["range"]["start"]["line"], 1);
  EXPECT_EQ(d[0]["range"]["end"]["character"], 6);
  EXPECT_EQ(d[0]["severity"], 1);
  EXPECT_EQ(d[0]["data"]["suggestion"], "SEPlay");

  // An alias only an unsaved buffer of the opening script defines counts;
  // once that buffer is closed unsaved, the disk's script holds again.
  Change("本編/公園.txt", "BG 夜\nGameEnd\n");
  const std::string opening = "オープニング/オープニング1.txt";
  d = DiagnosticsFor(Open(opening, "Texture 公園 BG\\Park.png\nTexture 夜 BG\\Park.png\nButtonMenu { フォーマット 1 1 "
                                   "メニューアイテム { 行く 1 本編\\公園 } }\n"),
                     scene);
  EXPECT_TRUE(d.is_array() && d.empty()) << d.dump();
  const std::vector<Json> closed =
      Send("textDocument/didClose", {{"textDocument", {{"uri", Uri(opening)}}}}, false);
  EXPECT_TRUE(DiagnosticsFor(closed, Uri(opening)).empty());
  d = DiagnosticsFor(closed, scene);
  ASSERT_EQ(d.size(), 1u) << d.dump();
  EXPECT_NE(d[0]["message"].get<std::string>().find("\"夜\" is not defined"), std::string::npos) << d.dump();

  // A script that cannot be read as CP932 is placed at its character.
  d = DiagnosticsFor(Change("本編/公園.txt", "BG 公園\nナレーション： 😀\n"), scene);
  ASSERT_EQ(d.size(), 1u) << d.dump();
  EXPECT_EQ(d[0]["range"]["start"]["line"], 1);
  EXPECT_EQ(d[0]["range"]["start"]["character"], 8);
}

TEST_F(LspServerTest, CompletionOffersWhatMayStandAfterTheWordBefore) {
  Open("本編/公園.txt", "BG \nSEPlay \ngoto \nNextScriptFile \nFadeIn \nSE");
  auto labels = Labels(Request("textDocument/completion", At("本編/公園.txt", 0, 3)));
  EXPECT_EQ(labels, std::vector<std::string>{"公園"});
  labels = Labels(Request("textDocument/completion", At("本編/公園.txt", 1, 7)));
  EXPECT_EQ(labels, std::vector<std::string>{"鈴"});
  labels = Labels(Request("textDocument/completion", At("本編/公園.txt", 2, 5)));
  EXPECT_EQ(labels, (std::vector<std::string>{"オープニング\\オープニング1", "本編\\公園", "$次"}));
  labels = Labels(Request("textDocument/completion", At("本編/公園.txt", 3, 15)));
  EXPECT_EQ(labels, (std::vector<std::string>{"オープニング\\オープニング1.Dat", "本編\\公園.Dat"}));
  labels = Labels(Request("textDocument/completion", At("本編/公園.txt", 4, 7)));
  EXPECT_NE(std::find(labels.begin(), labels.end(), "Volume"), labels.end());
  // A word being typed at the start of a line: keywords first, then names.
  labels = Labels(Request("textDocument/completion", At("本編/公園.txt", 5, 2)));
  ASSERT_GT(labels.size(), 30u);
  EXPECT_EQ(labels.front(), "Battle");
  EXPECT_NE(std::find(labels.begin(), labels.end(), "SEPlay"), labels.end());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "$次"), labels.end());
}

TEST_F(LspServerTest, DefinitionHoverAndSymbols) {
  const std::string scene = "本編/公園.txt";
  Open(scene, "BG 公園\nSEPlay 鈴\n陽菜： 「こんにちは」\nFontMenu { フォーマット 1 2 メニューアイテム { 戻る 1 "
              "オープニング\\オープニング1 次 2 $次 } }\n");
  // An alias, a sound alias and a variable lead to their commands in the
  // opening script; a script name to the top of its source.
  Json r = Request("textDocument/definition", At(scene, 0, 4));
  ASSERT_EQ(r["result"].size(), 1u) << r.dump();
  EXPECT_EQ(r["result"][0]["uri"], Uri("オープニング/オープニング1.txt"));
  EXPECT_EQ(r["result"][0]["range"]["start"], (Json{{"line", 0}, {"character", 8}}));
  r = Request("textDocument/definition", At(scene, 1, 8));
  EXPECT_EQ(r["result"][0]["range"]["start"], (Json{{"line", 1}, {"character", 16}}));
  r = Request("textDocument/definition", At(scene, 3, 58));
  EXPECT_EQ(r["result"][0]["range"]["start"], (Json{{"line", 2}, {"character", 7}})) << r.dump();
  r = Request("textDocument/definition", At(scene, 3, 40));
  EXPECT_EQ(r["result"][0]["uri"], Uri("オープニング/オープニング1.txt")) << r.dump();
  EXPECT_TRUE(Request("textDocument/definition", At(scene, 2, 8))["result"].empty());  // a message

  r = Request("textDocument/hover", At(scene, 1, 2));
  EXPECT_EQ(r["result"]["contents"]["value"].get<std::string>().rfind("### `SEPlay`", 0), 0u) << r.dump();
  r = Request("textDocument/hover", At(scene, 0, 3));
  EXPECT_EQ(r["result"]["contents"]["value"], "`Texture 公園 BG\\Park.png` in オープニング\\オープニング1.Dat");
  EXPECT_TRUE(Request("textDocument/hover", At(scene, 2, 9))["result"].is_null());

  r = Request("textDocument/documentSymbol", {{"textDocument", {{"uri", Uri(scene)}}}});
  const Json& symbols = r["result"];
  ASSERT_EQ(symbols.size(), 2u) << r.dump();
  EXPECT_EQ(symbols[0]["name"], "陽菜：「こんにちは」");
  EXPECT_EQ(symbols[0]["range"]["start"]["line"], 2);
  EXPECT_EQ(symbols[1]["name"], "FontMenu InsideSerifuFrame");  // the frame it opens in
  ASSERT_EQ(symbols[1]["children"].size(), 2u);
  EXPECT_EQ(symbols[1]["children"][1]["name"], "次");
  EXPECT_EQ(symbols[1]["children"][1]["detail"], "→ $次");
}

TEST_F(LspServerTest, AFileOutsideAnyGameIsCheckedAloneAndTheLifeCycleEnds) {
  dir_.Write("loose/メモ.txt", "");
  const std::string uri = UriFromPath(dir_.Path() + "/loose/メモ.txt");
  const Json d = DiagnosticsFor(Send("textDocument/didOpen", {{"textDocument", {{"uri", uri}, {"text", "Goto 本編\\無い\nBG\n"}}}}, false), uri);
  // The typo and the missing argument, but no missing file: there is no game.
  ASSERT_EQ(d.size(), 2u) << d.dump();
  EXPECT_EQ(d[0]["data"]["suggestion"], "goto");

  EXPECT_EQ(Request("textDocument/formatting", {{"textDocument", {{"uri", uri}}}})["error"]["code"], -32601);
  EXPECT_TRUE(Send("$/cancelRequest", {{"id", 1}}, false).empty());
  EXPECT_FALSE(server_.exited());
  Request("shutdown", nullptr);
  Send("exit", nullptr, false);
  EXPECT_TRUE(server_.exited());
  EXPECT_EQ(server_.exitStatus(), 0);
}

}  // namespace
}  // namespace scripttool::lsp

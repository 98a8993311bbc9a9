// Starts `vantorel-script lsp` for the workspace's Vantorel scripts.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate(context) {
  const config = vscode.workspace.getConfiguration('vantorel');
  const args = ['lsp'];
  const game = config.get('gameDirectory');
  if (game) args.push('--game', game);
  const server = { command: config.get('serverPath') || 'vantorel-script', args };
  client = new LanguageClient('vantorel', 'Vantorel scripts', server, {
    documentSelector: [{ scheme: 'file', language: 'vantorel' }],
  });
  client.start();
  context.subscriptions.push({ dispose: () => client && client.stop() });
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };

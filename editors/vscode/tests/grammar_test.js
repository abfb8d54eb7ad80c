// The grammar, tokenised as VS Code does it (vscode-textmate over the Oniguruma regular
// expressions in WebAssembly), held to the cases of editors/highlighting_cases.txt (which hold
// the Vim syntax too).
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const oniguruma = require('vscode-oniguruma');
const textmate = require('vscode-textmate');

const extension = path.join(__dirname, '..');
const top = path.join(extension, '..', '..');

/** The cases of the file: { name, line (of "case"), lines, expectations }. */
function readCases(file) {
  const cases = [];
  fs.readFileSync(file, 'utf8')
    .split('\n')
    .forEach((text, index) => {
      const at = `${path.basename(file)}:${index + 1}`;
      if (text === '' || text.startsWith('#')) return;
      if (text.startsWith('case ')) {
        cases.push({ name: text.slice(5), at, lines: null, expectations: [] });
        return;
      }
      const current = cases[cases.length - 1];
      if (!current) throw new Error(`${at}: a row before the first case`);
      if (text.startsWith('file ')) {
        current.lines = fs.readFileSync(path.join(top, text.slice(5)), 'utf8').split('\n');
      } else if (text === '|' || text.startsWith('| ')) {
        (current.lines ??= []).push(text.slice(2));
      } else {
        const row = /^(\d+) (?:"(.*)"|(\*|whole)) (\S+)$/.exec(text);
        if (!row) throw new Error(`${at}: not a row: ${text}`);
        const [, line, token, every, scope] = row;
        current.expectations.push({ at, line: Number(line), token, every, scope });
      }
    });
  return cases;
}

async function loadGrammar() {
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.length));
  const registry = new textmate.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scopeName) => {
      const manifest = JSON.parse(fs.readFileSync(path.join(extension, 'package.json'), 'utf8'));
      const entry = manifest.contributes.grammars.find((g) => g.scopeName === scopeName);
      if (!entry) return null;
      const file = path.join(extension, entry.path);
      return textmate.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
    },
  });
  return registry.loadGrammar('source.wander');
}

/** Each line of `lines` as its tokens: { text, scopes }, scopes outermost first. */
function tokenise(grammar, lines) {
  let stack = textmate.INITIAL;
  return lines.map((line) => {
    const result = grammar.tokenizeLine(line, stack);
    stack = result.ruleStack;
    return result.tokens
      .map((t) => ({ text: line.slice(t.startIndex, t.endIndex), scopes: t.scopes }))
      .filter((t) => t.text !== '');
  });
}

const shown = (tokens) => tokens.map((t) => `${JSON.stringify(t.text)} ${t.scopes.join(' ')}`);

test('the grammar colours each case as intended', async (t) => {
  const grammar = await loadGrammar();
  assert.ok(grammar, 'package.json contributes no grammar for source.wander');
  for (const c of readCases(path.join(top, 'editors', 'highlighting_cases.txt'))) {
    await t.test(c.name, () => {
      assert.ok(c.lines, `${c.at}: a case without a world`);
      assert.ok(c.expectations.length > 0, `${c.at}: a case that expects nothing`);
      const lines = tokenise(grammar, c.lines);
      const searchedUpTo = new Map(); // line: how many of its tokens earlier rows went past
      for (const e of c.expectations) {
        const tokens = lines[e.line - 1];
        assert.ok(tokens && tokens.length > 0, `${e.at}: line ${e.line} has no tokens`);
        const where = `${e.at}: line ${e.line}, tokens:\n  ${shown(tokens).join('\n  ')}\n`;
        if (e.every === '*') {
          for (const token of tokens) {
            assert.strictEqual(token.scopes[token.scopes.length - 1], e.scope, where);
          }
        } else if (e.every === 'whole') {
          for (const token of tokens) assert.ok(token.scopes.includes(e.scope), where);
        } else {
          const from = searchedUpTo.get(e.line) ?? 0;
          const found = tokens.findIndex((token, i) => i >= from && token.text === e.token);
          assert.ok(found >= 0, `${where}no token ${JSON.stringify(e.token)}`);
          const scopes = tokens[found].scopes;
          assert.strictEqual(scopes[scopes.length - 1], e.scope, where);
          searchedUpTo.set(e.line, found + 1);
        }
      }
    });
  }
});

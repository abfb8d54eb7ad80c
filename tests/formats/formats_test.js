// `wander-world check --format=json` and `--format=sarif` on many worlds: the worlds of case
// files, and world files given, among them those of tests/formats/worlds/, which hold CJK,
// characters past U+FFFF, bytes that are not UTF-8, control bytes and tabs before the places
// reported, CR LF line ends and a last line without one; and the world whose bytes are not UTF-8
// again under a file name that is not either. Each JSON document is held to
// tools/diagnostics/diagnostics.schema.json with Ajv, each SARIF log to the SARIF 2.1.0 schema
// that comes with the SARIF Multitool (with Ajv and ajv-formats) and to the Multitool's
// `validate`; both are read back and compared with the text output and with the world's own
// bytes (the SARIF regions' columns are held to tools/diagnostics/sarif_printer_test.txt). The
// Multitool reads nothing, and says nothing, of a log it cannot load (one with a level or a
// columnKind that SARIF does not know) and ends with 0: the schema catches those, and every run
// given to the Multitool must draw the one finding each of them draws (SARIF2005), the sign that
// it was read.
//   node formats_test.js TOOL CASE_RUNNER SCHEMA WORK_DIR --cases CASE... --worlds FILE...
// The validators come from this folder's node_modules (npm ci --prefix tests/formats).
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
// Each check a test of node:test, as in web/page_test.js: they run in order, once the worlds are
// checked, and a failure fails the run.
const check = require('node:test');
const Ajv2020 = require('ajv/dist/2020').default;
const addFormats = require('ajv-formats').default;

const [tool, caseRunner, schemaPath, work] = process.argv.slice(2, 6).map((p) => path.resolve(p));
const rest = process.argv.slice(6);
const cases = rest.slice(rest.indexOf('--cases') + 1, rest.indexOf('--worlds'));
const givenWorlds = rest.slice(rest.indexOf('--worlds') + 1);
// The one SARIF rule this log is let off: it asks for the tool's web page, which wander has not.
const kAllowedSarifFindings = new Set(['SARIF2005']);

// A byte order mark is a character of the line like any other: the decoders must not drop it.
const utf8 = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true });
const decoder = new TextDecoder('utf-8', { ignoreBOM: true });

// The worlds: each its file's name, as bytes, and its bytes.
const worldsDir = path.join(work, 'worlds');
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(worldsDir, { recursive: true });
const made = spawnSync(caseRunner, ['--worlds', worldsDir, ...cases], { encoding: 'utf8' });
assert.equal(made.status, 0, `case_runner --worlds failed: ${made.stdout}${made.stderr}`);
const worlds = made.stdout.split('\n').filter(Boolean).map((p) => path.basename(p));
for (const file of givenWorlds) {
  const name = `given_${path.basename(file)}`;
  fs.copyFileSync(file, path.join(worldsDir, name));
  worlds.push(name);
}
const entries = worlds.map((name) => ({ name: Buffer.from(name), bytes: fs.readFileSync(path.join(worldsDir, name)) }));
// A file name that is not UTF-8, with blanks and characters a URI must encode, on a world whose
// bytes are not UTF-8 either.
const oddName = Buffer.from('w\xf6rld 100%#?.txt', 'latin1');
const invalidBytes = Buffer.from('given_invalid_bytes.txt');
const oddBytes = entries.find((entry) => entry.name.equals(invalidBytes)).bytes;
fs.writeFileSync(Buffer.concat([Buffer.from(worldsDir + '/'), oddName]), oddBytes);
entries.push({ name: oddName, bytes: oddBytes });

// Runs check on a world by its name as bytes, in the worlds' folder: a name that is not UTF-8
// reaches the program through the shell's printf.
function runCheck(name, format) {
  const options = { cwd: worldsDir, maxBuffer: 1 << 26 };
  let run;
  if (name.equals(Buffer.from(decoder.decode(name)))) {
    run = spawnSync(tool, ['check', `--format=${format}`, '--', name.toString()], options);
  } else {
    const octal = [...name].map((b) => '\\' + b.toString(8).padStart(3, '0')).join('');
    run = spawnSync('sh', ['-c', `exec "$0" check --format=${format} -- "$(printf '${octal}')"`, tool], options);
  }
  return { status: run.status, stdout: run.stdout, stderr: run.stderr.toString() };
}

// The bytes of the line a range's place stands on, its line end left out.
function lineOf(bytes, range) {
  const start = range.offset - (range.column - 1);
  let end = bytes.indexOf(0x0a, start);
  if (end < 0) end = bytes.length;
  return bytes.subarray(start, end > start && bytes[end - 1] === 0x0d ? end - 1 : end);
}

const ajv = new Ajv2020({ strict: true, allErrors: true });
const validate = ajv.compile(JSON.parse(fs.readFileSync(schemaPath, 'utf8')));
// The SARIF schema is written less strictly than Ajv's strict mode asks; its formats (uri,
// uri-reference, date-time, uuid) are checked.
const multitool = require('@microsoft/sarif-multitool');
const sarifAjv = new Ajv2020({ strict: false, allErrors: true });
addFormats(sarifAjv);
const validateSarif = sarifAjv.compile(
    JSON.parse(fs.readFileSync(path.join(path.dirname(multitool), 'sarif-2.1.0.json'), 'utf8')));
const sarifFiles = [];
let diagnosticsSeen = 0;

for (const { name, bytes } of entries) {
  const shown = decoder.decode(name);
  const text = runCheck(name, 'text');
  const json = runCheck(name, 'json');
  const sarif = runCheck(name, 'sarif');
  let doc = null;
  check(`${shown}: exit statuses`, () => {
    assert.ok(text.status === 0 || text.status === 1, `text: status ${text.status} ${text.stderr}`);
    assert.equal(json.status, text.status, `json: ${json.stderr}`);
    assert.equal(sarif.status, text.status, `sarif: ${sarif.stderr}`);
  });
  check(`${shown}: the JSON document`, () => {
    doc = JSON.parse(utf8.decode(json.stdout));
    assert.ok(validate(doc), ajv.errorsText(validate.errors));
    const errors = doc.diagnostics.filter((d) => d.severity === 'error').length;
    assert.deepEqual(doc.summary, { errors, warnings: doc.diagnostics.length - errors });
    assert.equal(text.status, errors > 0 ? 1 : 0);
    assert.equal(doc.file, decoder.decode(name));
    assert.equal(doc.file_hex, name.equals(Buffer.from(shown)) ? undefined : name.toString('hex'));
    for (const d of doc.diagnostics) {
      for (const { range } of [d, ...d.notes, ...d.fixes]) {
        assert.equal(lineOf(bytes, range).length >= range.column - 1, true, 'a column past its line');
        assert.equal(bytes.subarray(0, range.offset).filter((b) => b === 0x0a).length + 1, range.line,
                     `offset ${range.offset} is not on line ${range.line}`);
      }
    }
    diagnosticsSeen += doc.diagnostics.length;
  });
  if (name === oddName) {
    check(`${shown}: the text output names the file escaped`, () => {
      assert.match(text.stdout.toString(), /^w\\xf6rld 100%#\?\.txt:5:/m);
    });
  } else {
    check(`${shown}: the JSON document says what the text output says`, () => {
      const printed = [...text.stdout.toString('latin1').matchAll(/^[^\n:]*:(\d+):(\d+): (error|warning): /gm)];
      assert.deepEqual(printed.map((m) => `${m[1]}:${m[2]}: ${m[3]}`),
                       doc.diagnostics.map((d) => `${d.range.line}:${d.range.column}: ${d.severity}`));
    });
  }
  check(`${shown}: the SARIF log`, () => {
    const log = JSON.parse(utf8.decode(sarif.stdout));
    assert.ok(validateSarif(log), sarifAjv.errorsText(validateSarif.errors));
    // The schema holds the version; the printer's test, the rest of the log's fixed parts.
    const run = log.runs[0];
    assert.equal(run.tool.driver.name, 'wander-world');
    assert.deepEqual(Buffer.from(unescape(run.artifacts[0].location.uri), 'latin1'), name);
    assert.equal(run.results.length, doc.diagnostics.length);
    run.results.forEach((result, i) => {
      const d = doc.diagnostics[i];
      assert.equal(result.ruleId, d.kind ?? 'unclassified');
      assert.equal(run.tool.driver.rules[result.ruleIndex].id, result.ruleId);
      assert.equal(result.level, d.severity);
      assert.ok(result.message.text.startsWith(d.message));
      assert.equal(result.properties.more, d.more);
      assert.equal((result.relatedLocations ?? []).length, d.notes.length);
      assert.equal((result.fixes ?? []).length, d.fixes.length);
    });
  });
  const sarifName = `${sarifFiles.length + 1}.sarif`;
  fs.writeFileSync(path.join(work, sarifName), sarif.stdout);
  sarifFiles.push(sarifName);
}

// The SARIF Multitool spends a fifth of a second or more on each file it is given: every run is
// given to it in one log that holds them all, and two logs as they were written, of the worlds
// whose bytes and name are not UTF-8.
const sarifRuns = sarifFiles.map((file) => JSON.parse(fs.readFileSync(path.join(work, file), 'utf8')));
fs.writeFileSync(path.join(work, 'all_runs.sarif'),
                 JSON.stringify({ ...sarifRuns[0], runs: sarifRuns.flatMap((log) => log.runs) }, null, 2));
const validation = path.join(work, 'validation.sarif');
const asWritten = sarifFiles.filter((file, i) => entries[i].name === oddName || entries[i].name.equals(invalidBytes));
const run = spawnSync(multitool, ['validate', '--log', 'ForceOverwrite', '-o', validation, 'all_runs.sarif', ...asWritten],
                      { cwd: work, encoding: 'utf8' });
check('the SARIF Multitool finds nothing wrong', () => {
  assert.equal(run.status, 0, run.stdout + run.stderr);
  const findings = JSON.parse(fs.readFileSync(validation, 'utf8')).runs[0].results ?? [];
  const counts = {};
  // A result without a level is a warning.
  const level = (f) => f.level ?? 'warning';
  for (const f of findings) counts[`${level(f)} ${f.ruleId}`] = (counts[`${level(f)} ${f.ruleId}`] ?? 0) + 1;
  console.log(`${entries.length} worlds, ${diagnosticsSeen} diagnostics; the SARIF Multitool on ` +
              ` ${sarifRuns.length} runs in one log, and ` +
              `${asWritten.length} logs as written: ${JSON.stringify(counts)}`);
  assert.equal(counts['warning SARIF2005'], sarifRuns.length + asWritten.length,
               'the Multitool did not read every run');
  const wrong = findings.filter((f) => (level(f) === 'error' || level(f) === 'warning') &&
                                       !kAllowedSarifFindings.has(f.ruleId));
  assert.deepEqual(wrong.map((f) => `${f.locations?.[0]?.physicalLocation?.artifactLocation?.uri}: ` +
                                    `${level(f)} ${f.ruleId}: ${JSON.stringify(f.message)}`), []);
});


// The studio: a world in an editor, checked as it is typed by `wander-world lsp`'s own server
// (built to WebAssembly, run in a worker: studio-server.js), with its problems and their sure
// mends listed, its map drawn, and the game beside it (page.js, the play page's script).
// Bundled with the editor by esbuild into the page's studio.js.
import { basicSetup } from 'codemirror';
import { EditorView, keymap } from '@codemirror/view';
import { ChangeSet } from '@codemirror/state';
import { setDiagnostics } from '@codemirror/lint';
import {
  LSPClient, LSPPlugin, findReferencesKeymap, hoverTooltips, jumpToDefinitionKeymap, renameKeymap,
  serverCompletion,
} from '@codemirror/lsp-client';
import { worldLanguage } from './studio_language.js';

// Every page opened from disk shares one storage: what the studio keeps is keyed by its own
// prefix and the world's name, never by the page.
const storePrefix = 'wander-studio/world/';
const lastWorldKey = 'wander-studio/last';
const directions = ['north', 'east', 'south', 'west'];
// A larger map would cost the editor more time than a drawing that large is worth.
const mostRoomsDrawn = 1000;

const studio = {
  view: null,
  client: null,
  worker: null,
  mapWorker: null,
  name: 'World.txt',
  uri: 'file:///World.txt',
  handle: null,       // the file the world came from, where the browser can write it back
  lastModified: 0,    // ... and when it was last changed, as it was opened or saved
  problems: [],       // the last diagnostics, as offsets in `sincePublished`'s first text
  sincePublished: null,
  map: null,
  mapWanted: 0,
  mapRoom: null,      // the name of the map's room that Tab goes to
};

function $(id) {
  return document.getElementById(id);
}

// The worker, started from a Blob of its script's text: from disk a page may start none from a
// file.
function startWorker() {
  const source = `(${wanderStudioWorker.toString()})()`;
  const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  const worker = new Worker(url);
  URL.revokeObjectURL(url);
  return worker;
}

// The protocol's messages to and from the worker, each seen by `observe` on its way in.
function workerTransport(worker, observe) {
  let handlers = [];
  worker.addEventListener('message', (event) => {
    if (event.data.lsp === undefined) return;
    observe(event.data.lsp);
    for (const handler of handlers) handler(event.data.lsp);
  });
  return {
    send: (message) => worker.postMessage({ lsp: message }),
    subscribe: (handler) => handlers.push(handler),
    unsubscribe: (handler) => {
      handlers = handlers.filter((h) => h !== handler);
    },
  };
}

function plugin() {
  return LSPPlugin.get(studio.view);
}

// An offset of the text the server last checked, in the text the editor holds now.
function mapped(offset) {
  return studio.sincePublished ? studio.sincePublished.mapPos(offset) : offset;
}

function moveTo(offset) {
  const at = Math.min(mapped(offset), studio.view.state.doc.length);
  studio.view.dispatch({ selection: { anchor: at }, scrollIntoView: true });
  studio.view.focus();
}

// The diagnostics the server published for the editor's latest text, with the quick fixes it
// offers for them, listed in Problems.
async function published(params) {
  const lsp = plugin();
  if (!lsp || params.uri !== studio.uri || params.version !== lsp.client.workspace.getFile(studio.uri)?.version) {
    return;
  }
  const doc = lsp.syncedDoc;
  // Shown at once, and again with their quick fixes once the server has worked them out: those
  // of a thousand problems take it a while.
  showPublished(lsp, doc, params, []);
  performance.mark('wander-problems-shown');
  if (params.diagnostics.length === 0) return;
  let actions;
  try {
    actions = await lsp.client.request('textDocument/codeAction', {
      textDocument: { uri: studio.uri },
      // Only where the published problems are (they come in the text's order): a world with
      // thousands more has as many more fixes, which nothing here would show.
      range: { start: params.diagnostics[0].range.start,
               end: params.diagnostics[params.diagnostics.length - 1].range.end },
      context: { diagnostics: [] },
    });
  } catch (error) {
    return;
  }
  if (lsp.syncedDoc !== doc) return;  // the text changed meanwhile: its own list comes
  showPublished(lsp, doc, params, actions || []);
}

// Lists and underlines the problems of `params`, published for `doc`, with the quick fixes of
// `actions`.
function showPublished(lsp, doc, params, actions) {
  const offset = (position) => lsp.fromPosition(position, doc);
  // Each quick fix under the problems it mends, found by a key: a world with a thousand problems
  // has as many fixes, and matching each with each held up typing.
  const keyOf = (d) => `${d.range.start.line}:${d.range.start.character}:${d.code}:${d.message}`;
  const fixes = new Map();
  for (const action of actions) {
    for (const key of new Set(action.diagnostics.map(keyOf))) {
      if (!fixes.has(key)) fixes.set(key, []);
      fixes.get(key).push(action);
    }
  }
  studio.problems = params.diagnostics.map((d) => ({
    line: d.range.start.line + 1,
    from: offset(d.range.start),
    to: offset(d.range.end),
    message: d.message,
    kind: d.code || '',
    severity: d.severity === 1 ? 'error' : 'warning',
    notes: (d.relatedInformation || []).map((note) => ({
      line: note.location.range.start.line + 1,
      from: offset(note.location.range.start),
      message: note.message,
    })),
    // Every quick fix for it, the sure mends first: one of several near names is only a guess.
    mends: [...(fixes.get(keyOf(d)) || [])]
      .sort((a, b) => Number(Boolean(b.isPreferred)) - Number(Boolean(a.isPreferred)))
      .map((a) => ({
        title: a.isPreferred ? a.title : `${a.title} (a guess)`,
        edits: a.edit.changes[studio.uri].map((e) => ({
          from: offset(e.range.start), to: offset(e.range.end), insert: e.newText,
        })),
      })),
  }));
  studio.sincePublished = lsp.unsyncedChanges;
  showProblems();
  // Underlined in the editor too, with the same mends in their tooltips.
  studio.view.dispatch(setDiagnostics(studio.view.state, studio.problems.map((problem) => ({
    from: mapped(problem.from),
    to: mapped(problem.to),
    severity: problem.severity,
    message: [problem.message, ...problem.notes.map((n) => `line ${n.line}: ${n.message}`)].join('\n'),
    source: problem.kind,
    actions: problem.mends.map((mend) => ({ name: mend.title, apply: () => applyMend(mend) })),
  }))));
}

function applyMend(mend) {
  studio.view.dispatch({
    changes: mend.edits.map((e) => ({ from: mapped(e.from), to: mapped(e.to), insert: e.insert })),
    userEvent: 'input.mend',
  });
  studio.view.focus();
}

// Problems listed in one task; the rest follow in later ones, so that typing never waits for a
// long list (a list replaced meanwhile is not carried on).
const problemsAtOnce = 100;

function showProblems() {
  const list = $('problems-list');
  const problems = studio.problems;
  const add = (from) => {
    if (studio.problems !== problems) return;
    list.append(problemItems(problems.slice(from, from + problemsAtOnce)));
    if (from + problemsAtOnce < problems.length) setTimeout(() => add(from + problemsAtOnce), 0);
  };
  list.replaceChildren();
  add(0);
  const errors = problems.filter((p) => p.severity === 'error').length;
  $('problems-summary').textContent = problems.length === 0 ? 'No problems.'
    : `${errors} ${errors === 1 ? 'error' : 'errors'}, ${problems.length - errors} ` +
      `${problems.length - errors === 1 ? 'warning' : 'warnings'}`;
}

// The Problems list's items for `problems`.
function problemItems(problems) {
  const items = document.createDocumentFragment();
  for (const problem of problems) {
    const item = document.createElement('li');
    item.className = problem.severity;
    const go = document.createElement('button');
    go.type = 'button';
    go.className = 'problem';
    go.textContent = `Line ${problem.line}: ${problem.severity}: ${problem.message}`;
    if (problem.kind) {
      const kind = document.createElement('span');
      kind.className = 'kind';
      kind.textContent = ` [${problem.kind}]`;
      go.append(kind);
    }
    go.addEventListener('click', () => moveTo(problem.from));
    item.append(go);
    for (const note of problem.notes) {
      const line = document.createElement('button');
      line.type = 'button';
      line.className = 'note';
      line.textContent = `Line ${note.line}: note: ${note.message}`;
      line.addEventListener('click', () => moveTo(note.from));
      item.append(line);
    }
    for (const mend of problem.mends) {
      const button = document.createElement('button');
      button.type = 'button';
      button.className = 'mend';
      button.textContent = mend.title;
      button.addEventListener('click', () => applyMend(mend));
      item.append(button);
    }
    items.append(item);
  }
  return items;
}

// The server's messages that the studio follows itself, besides the editor's client.
function observe(text) {
  if (!text.includes('"textDocument/publishDiagnostics"')) return;
  const message = JSON.parse(text);
  if (message.method === 'textDocument/publishDiagnostics') published(message.params);
}

// -- The map ----------------------------------------------------------------------------------

function askForMap() {
  if (!studio.mapWorker) return;  // it is asked for once the worker is there
  clearTimeout(studio.mapWanted);
  studio.mapWanted = setTimeout(() => {
    studio.mapWorker.postMessage({ map: studio.view.state.doc.toString(), most: mostRoomsDrawn });
  }, 120);
}

const svgNS = 'http://www.w3.org/2000/svg';
function svg(name, attributes, parent) {
  const element = document.createElementNS(svgNS, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  if (parent) parent.append(element);
  return element;
}

// Draws the layout of studio_map: north up, a box per room, a line per way between two rooms,
// an arrow for a way one way, missing rooms dashed, rooms the start does not lead to grey.
function drawMap(layout) {
  studio.map = layout;
  const cellX = 130;
  const cellY = 70;
  const boxW = 110;
  const boxH = 34;
  const view = $('map-view');
  if (layout.places !== undefined) {
    view.replaceChildren(`${layout.places} rooms: the map draws worlds of up to ${mostRoomsDrawn}.`);
    return;
  }
  const places = [...layout.rooms, ...layout.missing];
  if (places.length === 0) {
    view.replaceChildren('No rooms yet.');
    return;
  }
  const xs = places.map((p) => p.x);
  const ys = places.map((p) => p.y);
  const minX = Math.min(...xs);
  const maxY = Math.max(...ys);
  const centre = (p) => ({ x: (p.x - minX) * cellX + cellX / 2, y: (maxY - p.y) * cellY + cellY / 2 });
  const width = (Math.max(...xs) - minX + 1) * cellX;
  const height = (maxY - Math.min(...ys) + 1) * cellY;
  const root = svg('svg', { viewBox: `0 0 ${width} ${height}`, width, height, role: 'group',
                            'aria-label': 'Rooms' });
  const defs = svg('defs', {}, root);
  const arrow = svg('marker', { id: 'one-way', viewBox: '0 0 10 10', refX: 10, refY: 5,
                                markerWidth: 7, markerHeight: 7, orient: 'auto' }, defs);
  svg('path', { d: 'M0,0 L10,5 L0,10 z', class: 'one-way-head' }, arrow);
  const target = (to) => (to[0] === 'r' ? layout.rooms : layout.missing)[Number(to.slice(1))];
  const edges = svg('g', { 'aria-hidden': 'true' }, root);
  layout.rooms.forEach((room) => {
    for (const exit of room.exits) {
      const to = target(exit.to);
      if (!exit.oneWay && to.x * 1e6 + to.y < room.x * 1e6 + room.y) continue;  // drawn once
      const a = centre(room);
      const b = centre(to);
      // From edge to edge of the boxes, so that an arrow's head shows.
      const dx = b.x - a.x;
      const dy = b.y - a.y;
      const scale = (d) => Math.min(Math.abs(d.x) > 0 ? boxW / 2 / Math.abs(d.x) : Infinity,
                                    Math.abs(d.y) > 0 ? boxH / 2 / Math.abs(d.y) : Infinity, 1);
      const s = scale({ x: dx, y: dy });
      const line = svg('line', { x1: a.x + dx * s, y1: a.y + dy * s, x2: b.x - dx * s,
                                 y2: b.y - dy * s, class: exit.oneWay ? 'way one-way' : 'way' }, edges);
      if (exit.oneWay) line.setAttribute('marker-end', 'url(#one-way)');
      if (exit.to[0] === 'm') line.classList.add('to-missing');
    }
  });
  const boxes = new Map();  // each place's box, by place
  const box = (place, kind, label, line) => {
    const c = centre(place);
    const g = svg('g', { class: `room ${kind}`, tabindex: -1, role: line ? 'button' : 'img',
                         'aria-label': label }, root);
    boxes.set(place, g);
    svg('rect', { x: c.x - boxW / 2, y: c.y - boxH / 2, width: boxW, height: boxH, rx: 6 }, g);
    const name = svg('text', { x: c.x, y: c.y + 4, 'text-anchor': 'middle' }, g);
    name.textContent = place.name.length > 14 ? `${place.name.slice(0, 13)}…` : place.name;
    if (line) {
      const go = () => {
        const at = studio.view.state.doc.line(Math.min(line, studio.view.state.doc.lines)).from;
        studio.view.dispatch({ selection: { anchor: at }, scrollIntoView: true });
        studio.view.focus();
      };
      g.addEventListener('click', go);
      g.addEventListener('keydown', (event) => {
        if (event.key === 'Enter' || event.key === ' ') {
          event.preventDefault();
          go();
        }
      });
    }
  };
  for (const room of layout.rooms) {
    const marks = [room.start ? 'starting room' : '', room.unreachable ? 'cannot be reached' : '']
      .filter(Boolean).join(', ');
    const oneWay = room.exits.filter((e) => e.oneWay && e.to[0] === 'r').map((e) => directions[e.direction]);
    box(room, `${room.start ? 'start' : ''} ${room.unreachable ? 'unreachable' : ''}`,
        `${room.name}${marks ? ` (${marks})` : ''}${oneWay.length ? `, one way ${oneWay.join(', ')}` : ''}`,
        room.line);
  }
  for (const missing of layout.missing) {
    box(missing, 'missing', `${missing.name} (no block)`, 0);
  }
  // The map is one Tab stop: the room last moved to, else the starting room, else the first;
  // the arrow keys move from room to room.
  const focused = view.contains(document.activeElement);
  const first = places.find((p) => p.name === studio.mapRoom) || layout.rooms.find((r) => r.start) ||
    places[0];
  const rove = (place, focus) => {
    for (const g of boxes.values()) g.setAttribute('tabindex', -1);
    boxes.get(place).setAttribute('tabindex', 0);
    studio.mapRoom = place.name;
    if (focus) boxes.get(place).focus();
  };
  root.addEventListener('keydown', (event) => {
    const direction = arrows.indexOf(event.key);
    const from = places.find((p) => boxes.get(p) === event.target.closest('.room'));
    if (direction < 0 || !from) return;
    event.preventDefault();
    const to = toward(layout, from, direction, places);
    if (to) rove(to, true);
  });
  view.replaceChildren(root);
  rove(first, focused);
}

const arrows = ['ArrowUp', 'ArrowRight', 'ArrowDown', 'ArrowLeft'];  // as `directions`

// The place the arrow key of `direction` leads to from `from`: where its exit that way leads,
// else the nearest place that way, straight ahead before aside; none when there is none.
function toward(layout, from, direction, places) {
  const exit = (from.exits || []).find((e) => e.direction === direction);
  if (exit) return (exit.to[0] === 'r' ? layout.rooms : layout.missing)[Number(exit.to.slice(1))];
  const [ux, uy] = [[0, 1], [1, 0], [0, -1], [-1, 0]][direction];  // north is up
  let best = null;
  let bestCost = Infinity;
  for (const place of places) {
    const dx = place.x - from.x;
    const dy = place.y - from.y;
    const along = dx * ux + dy * uy;
    const cost = along + 2 * Math.abs(dx * uy - dy * ux);
    if (along > 0 && cost < bestCost) {
      best = place;
      bestCost = cost;
    }
  }
  return best;
}

// -- Keeping the work ---------------------------------------------------------------------------

function store(name, text) {
  try {
    localStorage.setItem(storePrefix + name, text);
    localStorage.setItem(lastWorldKey, name);
  } catch (error) {
    say(`The browser keeps no copy of ${name}: ${error.message}`);
  }
}

function say(text) {
  $('status').textContent = text;
}

let storing = 0;
function changed() {
  clearTimeout(storing);
  storing = setTimeout(() => store(studio.name, studio.view.state.doc.toString()), 300);
  askForMap();
}

// Replaces the editor's text with a world's, named `name`.
function openText(name, text) {
  studio.name = name;
  $('world-name').textContent = name;
  const title = $('publish-title');
  if (!title.dataset.edited) title.value = name;
  studio.view.dispatch({ changes: { from: 0, to: studio.view.state.doc.length, insert: text } });
  store(name, text);
}

async function openFile(file, handle) {
  let text;
  try {
    // The editor holds UTF-8 text: other bytes would be changed, unseen, when it is saved.
    text = new TextDecoder('utf-8', { fatal: true }).decode(await file.arrayBuffer());
  } catch (error) {
    say(error instanceof TypeError
      ? `${file.name} is not UTF-8 text: the studio opens only UTF-8 (the game and wander-world take any bytes).`
      : `Cannot read ${file.name}: ${error.message}`);
    return;
  }
  openText(file.name, text);
  studio.handle = handle || null;
  studio.lastModified = file.lastModified;
}

async function openWorld() {
  if (window.showOpenFilePicker) {
    try {
      const [handle] = await window.showOpenFilePicker({
        types: [{ description: 'World', accept: { 'text/plain': ['.txt'] } }],
      });
      await openFile(await handle.getFile(), handle);
      return;
    } catch (error) {
      if (error.name === 'AbortError') return;
    }
  }
  $('studio-file').click();
}

function download(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// Writes the world back where it came from when the browser can, else downloads it.
async function save() {
  const text = studio.view.state.doc.toString();
  if (studio.handle) {
    try {
      // As a careful editor does, never over what another program saved meanwhile.
      if ((await studio.handle.getFile()).lastModified !== studio.lastModified) {
        throw new Error('it changed on disk since it was opened');
      }
      // The browser writes to a copy of its own and puts it in place on close.
      const writable = await studio.handle.createWritable();
      await writable.write(text);
      await writable.close();
      studio.lastModified = (await studio.handle.getFile()).lastModified;
      say(`Saved ${studio.name}.`);
      return;
    } catch (error) {
      say(`Cannot write ${studio.name} (${error.message}): downloaded instead.`);
    }
  }
  download(studio.name, text, 'text/plain');
}

// -- Play ---------------------------------------------------------------------------------------

// The world as the editor holds it, started from the room of the cursor's block when asked.
function worldToPlay() {
  let text = studio.view.state.doc.toString();
  if ($('play-here').checked && studio.map) {
    const line = studio.view.state.doc.lineAt(studio.view.state.selection.main.head).number;
    let here = null;
    for (const room of studio.map.rooms) {
      if (room.line <= line && (!here || room.line > here.line)) here = room;
    }
    if (here) text = text.replace(/^(\s*\S+\s+)\S+/, (all, before) => before + here.name);
  }
  return new TextEncoder().encode(text);
}

function startPlay() {
  play({ name: studio.name, bytes: worldToPlay(), title: studio.name, byline: '' });
  // The play page names itself after the world it plays; this page stays the studio.
  document.title = 'wander studio';
}

// -- Publish ------------------------------------------------------------------------------------

// The play page's files (studio-page.js), loaded the first time they are needed.
let playPage = null;
function loadPlayPage() {
  if (playPage) return playPage;
  playPage = new Promise((resolve, reject) => {
    window.wanderStudioPage = resolve;
    const script = document.createElement('script');
    script.src = 'studio-page.js';
    script.onerror = () => {
      playPage = null;
      reject(new Error('studio-page.js is missing beside the studio'));
    };
    document.head.append(script);
  });
  return playPage;
}

// The world in the editor as one HTML file that plays it on its own, made by the publisher of
// `wander-world publish --single-file` in the worker, and downloaded.
async function publish() {
  const status = $('publish-status');
  const title = $('publish-title').value.trim() || studio.name;
  status.textContent = 'Publishing…';
  try {
    const files = await loadPlayPage();
    const request = JSON.stringify({ files, name: studio.name, world: studio.view.state.doc.toString(),
                                     title, byline: $('publish-byline').value.trim() });
    const said = await new Promise((resolve) => {
      const answer = (event) => {
        if (event.data.published === undefined) return;
        studio.mapWorker.removeEventListener('message', answer);
        resolve(event.data.published);
      };
      studio.mapWorker.addEventListener('message', answer);
      studio.mapWorker.postMessage({ publish: request });
    });
    if (said[0] !== 'P') throw new Error(said.slice(1));
    const file = `${studio.name.replace(/\.txt$/i, '') || 'world'}.html`;
    download(file, said.slice(1), 'text/html');
    status.textContent = `Published as ${file}: ${Math.round(said.length / 1000)} KB.`;
  } catch (error) {
    status.textContent = `Cannot publish: ${error.message}`;
  }
}

// -- Start --------------------------------------------------------------------------------------

// The sample world, from studio-world.js.
let sample = null;
window.wanderStudioSample = (name, hex) => {
  sample = { name, text: new TextDecoder().decode(bytesFromHex(hex)) };
};

// Loads the server's script (studio-server.js, the larger part of the studio) once the editor
// is up, then starts the workers: the language server's, and the map's, laid out by one of its
// own so that a large world's never holds up its problems.
function startServer() {
  const script = document.createElement('script');
  script.src = 'studio-server.js';
  script.onerror = () => say('studio-server.js is missing beside the studio: nothing is checked.');
  script.onload = () => {
    studio.worker = startWorker();
    // A worker that fails (its memory run out) answers nothing more: the page says so.
    studio.worker.addEventListener('error', (event) => {
      $('problems-summary').textContent = `The checker stopped (${event.message}): reload the page; the text is kept.`;
    });
    studio.mapWorker = startWorker();
    studio.mapWorker.addEventListener('message', (event) => {
      if (event.data.map !== undefined) drawMap(JSON.parse(event.data.map));
    });
    studio.client.connect(workerTransport(studio.worker, observe));
    askForMap();
  };
  document.head.append(script);
}

function startStudio() {
  const last = localStorage.getItem(lastWorldKey);
  const kept = last !== null ? localStorage.getItem(storePrefix + last) : null;
  const world = kept !== null ? { name: last, text: kept } : sample || { name: 'World.txt', text: '' };
  studio.name = world.name;
  $('world-name').textContent = world.name;
  $('publish-title').value = world.name;

  // Connected once the server's script has come (startServer): what is typed before then is
  // in the text it opens.
  studio.client = new LSPClient({
    // The client's own parts but its diagnostics: the studio shows those itself (published),
    // with their notes, which it asks for on lines of their own, and their quick fixes.
    extensions: [serverCompletion(), hoverTooltips(),
                 keymap.of([...renameKeymap, ...jumpToDefinitionKeymap, ...findReferencesKeymap]),
                 { clientCapabilities: { textDocument: { publishDiagnostics: {
                   relatedInformation: true, versionSupport: true } } } }],
    notificationHandlers: { 'textDocument/publishDiagnostics': () => true },
    timeout: 10000,
  });

  // The server hears of a change soon after its last key, not half a second later.
  let syncing = 0;
  const follow = EditorView.updateListener.of((update) => {
    if (!update.docChanged) return;
    if (studio.sincePublished) studio.sincePublished = studio.sincePublished.compose(update.changes);
    clearTimeout(syncing);
    syncing = setTimeout(() => studio.client.sync(), 20);
    changed();
  });
  studio.view = new EditorView({
    doc: world.text,
    parent: $('editor'),
    extensions: [
      basicSetup,
      worldLanguage,
      // tabindex: the scroller around it holds something that the keyboard reaches, as axe asks.
      EditorView.contentAttributes.of({ 'aria-label': 'World.txt', tabindex: '0' }),
      EditorView.lineWrapping,
      // The editor's lists and tooltips in the page's dark colours, at a contrast one can read.
      EditorView.theme({
        '.cm-tooltip': { backgroundColor: '#1f232b', color: '#d8dde6', border: '1px solid #8a93a3' },
        '.cm-tooltip-autocomplete ul li[aria-selected]': { backgroundColor: '#3a5a8c', color: '#ffffff' },
        '.cm-panels': { backgroundColor: '#1f232b', color: '#d8dde6' },
        '.cm-diagnosticText': { whiteSpace: 'pre-wrap' },
      }, { dark: true }),
      studio.client.plugin(studio.uri, 'wander'),
      follow,
    ],
  });
  studio.sincePublished = ChangeSet.empty(world.text.length);
  performance.mark('wander-studio-ready');
  startServer();

  $('studio-open').addEventListener('click', openWorld);
  const file = $('studio-file');
  file.addEventListener('change', () => {
    const chosen = file.files[0];
    file.value = '';
    if (chosen) openFile(chosen);
  });
  $('studio-save').addEventListener('click', save);
  $('studio-play').addEventListener('click', startPlay);
  $('studio-publish').addEventListener('click', publish);
  $('publish-title').addEventListener('input', (event) => {
    event.target.dataset.edited = 'yes';
  });
  // A world dropped on the studio is opened in the editor, not played.
  window.addEventListener('drop', (event) => {
    event.preventDefault();
    event.stopImmediatePropagation();
    document.body.classList.remove('dropping');
    const dropped = event.dataTransfer.files[0];
    if (dropped) openFile(dropped);
  }, true);
  say('Press Play to play the world in the editor.');
}

// For scripts and tests: the text in the editor.
window.wanderStudioText = () => studio.view.state.doc.toString();

document.addEventListener('DOMContentLoaded', startStudio);

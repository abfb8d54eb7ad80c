// What runs the studio's server in its worker: the end of wanderStudioWorker (wrap_worker.cmake),
// after Emscripten's createStudioServer. The page posts {lsp: text}, one message of the protocol,
// or {map: text, most: N}, a world to lay out; the worker posts back {lsp: text} for each message
// of the server's, and {map: json} (studio_map) for the last world asked for; {publish: json}
// asks for a world published as one file, answered by {published: text} (studio_publish). Messages that come
// together are handled together, and the diagnostics of what they changed published once.
const waiting = [];
let server = null;
let studio = 0;
let draining = false;

function withText(text, use) {
  const size = server.lengthBytesUTF8(text);
  const at = server._malloc(size + 1);
  server.stringToUTF8(text, at, size + 1);
  try {
    return use(at, size);
  } finally {
    server._free(at);
  }
}

function drain() {
  draining = false;
  if (!server) return;
  const messages = waiting.splice(0);
  // Only the latest world is laid out: the others are already out of date.
  let map = null;
  for (const message of messages) {
    if (message.map !== undefined) map = message;
    else if (message.publish !== undefined) {
      self.postMessage({ published: withText(message.publish, (at, size) =>
        server.UTF8ToString(server._studio_publish(studio, at, size))) });
    }
    else withText(message.lsp, (at, size) => server._studio_message(studio, at, size));
  }
  server._studio_idle(studio);
  if (map !== null) {
    self.postMessage({ map: withText(map.map, (at, size) =>
      server.UTF8ToString(server._studio_map(studio, at, size, map.most))) });
  }
}

self.onmessage = (event) => {
  waiting.push(event.data);
  if (!draining) {
    draining = true;
    setTimeout(drain, 0);
  }
};

createStudioServer({ serverSaid: (text) => self.postMessage({ lsp: text }) }).then((module) => {
  server = module;
  studio = withText('%VERSION%', (at) => server._studio_new(at));
  drain();
});

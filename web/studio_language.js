// The look of a world in the studio's editor: the header's label and starting room, marker
// lines, descriptions and objects' texts up to their '*', a room's labels, exits (None apart),
// object count and object names, and the notes between blocks. It reads the layout as the game
// does (README, "Writing a world"), line by line, never the whole text: mistakes are the
// language server's to find.
import { HighlightStyle, StreamLanguage, syntaxHighlighting } from '@codemirror/language';
import { tags } from '@lezer/highlight';

const marker = /^<[^>]*>$/;

const world = StreamLanguage.define({
  name: 'world',
  startState: () => ({ phase: 'header', word: 0, objects: 0, room: false }),
  copyState: (state) => ({ ...state }),
  token(stream, state) {
    if (stream.sol() && marker.test(stream.string)) {
      stream.skipToEnd();
      state.room = !stream.string.includes('|');
      state.phase = 'text';
      state.word = 0;
      return 'heading';
    }
    if (state.phase === 'text') {
      if (stream.eat('*')) {
        state.phase = state.room ? 'words' : 'notes';
        return 'separator';
      }
      stream.skipTo('*') || stream.skipToEnd();
      return 'string';
    }
    if (stream.eatSpace()) return null;
    if (state.phase === 'notes') {
      stream.skipToEnd();
      return 'comment';
    }
    const word = stream.match(/^\S+/)[0];
    const at = state.word++;
    if (state.phase === 'header') {
      if (at === 1) state.phase = 'notes';
      return at === 0 ? 'labelName' : 'variableName';
    }
    // Words of a room: four label and exit pairs, the count's label, the count, the objects.
    if (at < 8) return at % 2 === 0 ? 'labelName' : word === 'None' ? 'null' : 'variableName';
    if (at === 8) return 'labelName';
    if (at === 9) {
      state.objects = Math.min(3, Math.max(0, Number.parseInt(word, 10) || 0));
      if (state.objects === 0) state.phase = 'notes';
      return 'number';
    }
    if (at - 10 + 1 >= state.objects) state.phase = 'notes';
    return 'propertyName';
  },
});

// Colours with a contrast of at least 4.5 to the editor's background.
const style = HighlightStyle.define([
  { tag: tags.heading, color: '#f0c674', fontWeight: 'bold' },
  { tag: tags.string, color: '#d8dde6' },
  { tag: tags.separator, color: '#f0c674', fontWeight: 'bold' },
  { tag: tags.labelName, color: '#9aa5b8' },
  { tag: tags.variableName, color: '#8fc1ff' },
  { tag: tags.null, color: '#b0b8c6', fontStyle: 'italic' },
  { tag: tags.number, color: '#f2a07b' },
  { tag: tags.propertyName, color: '#a8dba8' },
  { tag: tags.comment, color: '#a3acba', fontStyle: 'italic' },
]);

export const worldLanguage = [world, syntaxHighlighting(style)];

// Prints the engine's message texts as JSON, for the page to carry its texts from the start.
// Usage: node --no-experimental-fetch dump-messages.js lexmora-engine.js
'use strict';
const createLexmoraEngine = require(require('path').resolve(process.argv[2]));
createLexmoraEngine({ print: () => {}, printErr: () => {} }).then((M) => {
  const pointer = M._lexmora_messages();
  process.stdout.write(M.UTF8ToString(pointer));
  M._free(pointer);
});

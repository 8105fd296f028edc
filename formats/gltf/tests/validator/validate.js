// Validates glTF files with the Khronos glTF validator; prints each file's errors and warnings and
// exits 1 when any file has an error.
//   node validate.js file.gltf|file.glb ...
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const folder = path.dirname(file);
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    externalResourceFunction: (uri) =>
      new Promise((resolve, reject) => {
        fs.readFile(path.join(folder, decodeURIComponent(uri)), (err, data) => (err ? reject(err) : resolve(new Uint8Array(data))));
      }),
  });
  const issues = report.issues;
  for (const m of issues.messages) {
    if (m.severity <= 1) console.log(`${file}: ${m.severity === 0 ? 'error' : 'warning'} ${m.code} ${m.pointer || ''} ${m.message}`);
  }
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings`);
  return issues.numErrors;
}

(async () => {
  let errors = 0;
  for (const file of process.argv.slice(2)) errors += await validate(file);
  process.exit(errors ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(2);
});

// Inlines a style sheet into a page with juice, the reference for the CSS inliner.
// Usage: node juice_inline.js <juice folder> <page.html> <sheet.css> <out.html> [repeat]
// With a repeat count it prints the mean milliseconds per run instead of only writing.
'use strict';
const fs = require('fs');
const path = require('path');
const [dir, pagePath, sheetPath, outPath, repeatText] = process.argv.slice(2);
const loaded = require(path.join(dir, 'node_modules', 'juice'));
const juice = loaded.default || loaded;  // an ES module's default export from version 12 on
const html = fs.readFileSync(pagePath, 'utf8');
const css = fs.readFileSync(sheetPath, 'utf8');
const options = {
  applyWidthAttributes: false,
  applyHeightAttributes: false,
  applyAttributesTableElements: false,
  removeStyleTags: true,
  preserveImportant: false,
};
const repeat = Math.max(1, parseInt(repeatText || '1', 10));
let out = '';
const start = process.hrtime.bigint();
for (let i = 0; i < repeat; i++) out = juice.inlineContent(html, css, options);
const ms = Number(process.hrtime.bigint() - start) / 1e6 / repeat;
fs.writeFileSync(outPath, out);
if (repeatText) console.log(`juice ${ms.toFixed(1)} ms`);

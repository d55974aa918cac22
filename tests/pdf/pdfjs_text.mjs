// A PDF's text as pdf.js gives it to its viewer's search and copy: each page's text items in
// order, a line break where an item ends a line. Prints one JSON list of pages (each a string).
// Usage: node pdfjs_text.mjs PDFJS_DIR FILE.pdf
import { pathToFileURL } from "node:url";

const [dir, file] = process.argv.slice(2);
const pdfjs = await import(
  pathToFileURL(`${dir}/node_modules/pdfjs-dist/legacy/build/pdf.mjs`).href);
const doc = await pdfjs.getDocument({ url: file, verbosity: 0 }).promise;
const pages = [];
for (let number = 1; number <= doc.numPages; ++number) {
  const page = await doc.getPage(number);
  const content = await page.getTextContent();
  let text = "";
  for (const item of content.items) text += item.str + (item.hasEOL ? "\n" : "");
  pages.push(text);
}
process.stdout.write(JSON.stringify(pages));

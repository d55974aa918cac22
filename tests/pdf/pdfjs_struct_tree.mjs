// A PDF's structure as pdf.js reads it, the way a browser exposes a PDF to a screen reader:
// for each page, page.getStructTree() (roles, nesting, alternative text, language) with the
// text of every marked-content item it points at, and the page's whole text.
//
//   node pdfjs_struct_tree.mjs PDFJS_DIR FILE.pdf   (PDFJS_DIR: where install_pdfjs.sh put it)
//
// Prints {"pages": [{"page": 1, "structTree": {...}, "text": "..."}, ...]} on standard output;
// any failure is on standard error with exit status 1.
import { readFile } from "node:fs/promises";
import path from "node:path";
import { pathToFileURL } from "node:url";

const [pdfjsDir, file] = process.argv.slice(2);
if (!pdfjsDir || !file) {
    console.error("usage: node pdfjs_struct_tree.mjs PDFJS_DIR FILE.pdf");
    process.exit(2);
}
// pdf.js reports through console.log, at import time too; standard output is for the JSON.
console.log = (...args) => console.error(...args);
const pkg = path.join(path.resolve(pdfjsDir), "node_modules", "pdfjs-dist");
const pdfjs = await import(pathToFileURL(path.join(pkg, "legacy", "build", "pdf.mjs")).href);

// Attaches to each content item of the tree the text pdf.js found inside it.
function withText(node, textOfItem) {
    if (node.type === "content") return { ...node, text: textOfItem.get(node.id) ?? "" };
    if (!node.children) return node;
    return { ...node, children: node.children.map((child) => withText(child, textOfItem)) };
}

// Text items come between begin/end marked-content entries; the ids of those with an MCID
// are the ids the structure tree's content items carry.
function textByMarkedContent(items) {
    const textOfItem = new Map();
    const open = [];
    for (const item of items) {
        if (item.type === "beginMarkedContentProps" || item.type === "beginMarkedContent") {
            open.push(item.id ?? null);
        } else if (item.type === "endMarkedContent") {
            open.pop();
        } else if (item.str !== undefined) {
            const id = open.findLast((candidate) => candidate !== null);
            if (id) textOfItem.set(id, (textOfItem.get(id) ?? "") + item.str);
        }
    }
    return textOfItem;
}

try {
    const data = new Uint8Array(await readFile(file));
    const document = await pdfjs.getDocument({
        data,
        isEvalSupported: false,
        disableFontFace: true,
        useSystemFonts: false,
        standardFontDataUrl: path.join(pkg, "standard_fonts") + path.sep,
        cMapUrl: path.join(pkg, "cmaps") + path.sep,
        cMapPacked: true,
    }).promise;
    const pages = [];
    for (let number = 1; number <= document.numPages; number++) {
        const page = await document.getPage(number);
        const structTree = await page.getStructTree();
        const marked = await page.getTextContent({ includeMarkedContent: true });
        const plain = await page.getTextContent();
        pages.push({
            page: number,
            structTree: structTree ? withText(structTree, textByMarkedContent(marked.items)) : null,
            text: plain.items.map((item) => item.str + (item.hasEOL ? "\n" : "")).join(""),
        });
    }
    await document.destroy();
    process.stdout.write(JSON.stringify({ pages }, null, 1) + "\n");
} catch (error) {
    console.error(`pdfjs_struct_tree: ${file}: ${error?.stack ?? error}`);
    process.exit(1);
}

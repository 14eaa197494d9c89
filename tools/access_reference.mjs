// Digest of what an independent reader (the npm package mdb-reader) reads
// from each Access file of a folder: per table its row count, per column its
// type and a hash of its values, and the relations of MSysRelationships.
// tests/access compares our reader's results with it; the digest holds
// counts and hashes only, none of the files' data.
//
// Usage (through tools/access_reference.sh): node access_reference.mjs DIR
import MDBReader from "mdb-reader";
import { readFileSync, readdirSync } from "node:fs";
import { join } from "node:path";

const FNV_OFFSET = 0xcbf29ce484222325n;
const FNV_PRIME = 0x100000001b3n;
const MASK = 0xffffffffffffffffn;

function fnv(hash, bytes) {
  for (const b of bytes) hash = ((hash ^ BigInt(b)) * FNV_PRIME) & MASK;
  return hash;
}

// The canonical text of a value, the same as tests/access computes from ours.
function canonical(type, value) {
  switch (type) {
    case "boolean": return value ? "1" : "0";
    case "float": { const b = Buffer.alloc(4); b.writeFloatLE(value); return b.toString("hex"); }
    case "double": { const b = Buffer.alloc(8); b.writeDoubleLE(value); return b.toString("hex"); }
    case "datetime": return String(value.getTime());
    case "binary": case "ole": return Buffer.from(value).toString("hex");
    case "repid": return String(value).replace(/[{}]/g, "").toUpperCase();
    default: return String(value);
  }
}

const dir = process.argv[2];
const out = ["# file/table/column digest of mdb-reader " + JSON.parse(readFileSync(new URL("./node_modules/mdb-reader/package.json", import.meta.url))).version];
for (const file of readdirSync(dir).filter((f) => f.endsWith(".mdb")).sort()) {
  let reader;
  try {
    reader = new MDBReader(readFileSync(join(dir, file)));
    reader.getTableNames();
  } catch (e) {
    out.push(`X\t${file}`);
    continue;
  }
  const names = reader.getTableNames();
  out.push(`F\t${file}\t${names.length}`);
  for (const name of names) {
    const table = reader.getTable(name);
    const rows = table.getData();
    out.push(`T\t${file}\t${name}\t${rows.length}`);
    for (const col of table.getColumns()) {
      let hash = FNV_OFFSET;
      let present = 0;
      for (const row of rows) {
        const v = row[col.name];
        const text = v === null || v === undefined ? "N" : "V" + canonical(col.type, v);
        if (text !== "N") present++;
        hash = fnv(hash, Buffer.from(text + "\0", "utf8"));
      }
      out.push(`C\t${file}\t${name}\t${col.name}\t${col.type}\t${col.size}\t${col.precision ?? 0}\t${col.scale ?? 0}\t${present}\t${hash.toString(16).padStart(16, "0")}`);
    }
  }
  const tables = new Set(names);
  const relations = new Map();
  let system = [];
  try {
    system = reader.getTable("MSysRelationships").getData();
  } catch (e) {
    system = [];
  }
  for (const r of system) {
    if (!tables.has(r.szObject) || !tables.has(r.szReferencedObject)) continue;
    if (!relations.has(r.szRelationship)) relations.set(r.szRelationship, { r, cols: [] });
    relations.get(r.szRelationship).cols.push(r);
  }
  for (const [name, { r, cols }] of [...relations].sort((a, b) => (a[0] < b[0] ? -1 : 1))) {
    cols.sort((a, b) => a.icolumn - b.icolumn);
    const pairs = cols.map((c) => `${c.szColumn}=${c.szReferencedColumn}`).join(";");
    out.push(`R\t${file}\t${name}\t${r.szObject}\t${r.szReferencedObject}\t${r.grbit >>> 0}\t${pairs}`);
  }
}
console.log(out.join("\n"));

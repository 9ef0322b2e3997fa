'use strict';
// Reads what a test needs from a project file (project/modules/module with type, id and
// settings). The files are small XML written by the application; element texts are enough.
const fs = require('node:fs');

function elementTexts(xml, name) {
  const pattern = new RegExp(`<${name}>([\\s\\S]*?)</${name}>`, 'g');
  return [...xml.matchAll(pattern)].map((match) => match[1]);
}

function firstText(xml, name) {
  const [text] = elementTexts(xml, name);
  return text === undefined ? undefined : text.trim();
}

// [{ type, id, port, baudrate }] in file order.
function readProjectModules(file) {
  const xml = fs.readFileSync(file, 'utf8');
  const [modules] = elementTexts(xml, 'modules');
  if (modules === undefined) throw new Error(`${file} has no <modules> element:\n${xml}`);
  return elementTexts(modules, 'module').map((module) => ({
    type: Number(firstText(module, 'type')),
    id: Number(firstText(module, 'id')),
    port: firstText(module, 'port'),
    baudrate: firstText(module, 'baudrate'),
  }));
}

module.exports = { readProjectModules };

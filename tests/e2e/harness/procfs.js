'use strict';
// What /proc tells about the processes a test started: the tree below the application (its
// QtWebEngineProcess helpers) and their resident memory. Linux only, like the product's port layer.
const fs = require('node:fs');

function readText(file) {
  try {
    return fs.readFileSync(file, 'utf8');
  } catch {
    return null; // the process ended between listing and reading
  }
}

// The parent pid is the second field after the command name, which is in parentheses and may
// itself contain blanks and parentheses; the last ')' ends it.
function parentOf(pid) {
  const stat = readText(`/proc/${pid}/stat`);
  if (stat === null) return null;
  const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
  return Number(fields[1]);
}

function allPids() {
  return fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name)).map(Number);
}

function descendantsOf(rootPid) {
  const children = new Map();
  for (const pid of allPids()) {
    const parent = parentOf(pid);
    if (parent === null) continue;
    if (!children.has(parent)) children.set(parent, []);
    children.get(parent).push(pid);
  }
  const found = [];
  const pending = [rootPid];
  while (pending.length > 0) {
    for (const child of children.get(pending.pop()) || []) {
      found.push(child);
      pending.push(child);
    }
  }
  return found;
}

function commandLine(pid) {
  const text = readText(`/proc/${pid}/cmdline`);
  return text === null ? [] : text.split('\0').filter((part) => part.length > 0);
}

// Resident set size in KiB, or null for a process that is gone.
function residentKiB(pid) {
  const status = readText(`/proc/${pid}/status`);
  const match = status && status.match(/^VmRSS:\s+(\d+)\s+kB$/m);
  return match ? Number(match[1]) : null;
}

// Proportional set size in KiB (shared pages divided among their users), or null. Summing PSS
// over the application and its helpers does not count the zygotes' shared pages several times,
// as summing VmRSS does.
function proportionalKiB(pid) {
  const rollup = readText(`/proc/${pid}/smaps_rollup`);
  const match = rollup && rollup.match(/^Pss:\s+(\d+)\s+kB$/m);
  return match ? Number(match[1]) : null;
}

function isAlive(pid) {
  const stat = readText(`/proc/${pid}/stat`);
  if (stat === null) return false;
  // A zombie has ended; only its parent's wait is missing.
  return stat.slice(stat.lastIndexOf(')') + 2, stat.lastIndexOf(')') + 3) !== 'Z';
}

// The web engine's helper processes below the application, with their parents: renderers are
// forked from a zygote helper and keep the zygote's command line, so the parent is what tells
// them apart when the DevTools endpoint cannot say.
function webEngineHelpers(appPid) {
  return descendantsOf(appPid)
    .filter((pid) => commandLine(pid).some((part) => part.endsWith('QtWebEngineProcess')))
    .map((pid) => ({ pid, parent: parentOf(pid) }));
}

module.exports = { descendantsOf, commandLine, residentKiB, proportionalKiB, isAlive, webEngineHelpers };

'use strict';
// The private folders of one application under test: configuration, data, runtime and the port
// directory, so that a test never sees the developer's settings, projects or ports, nor those of
// a test running beside it. Kept across restart(), removed at the end.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

class Sandbox {
  constructor() {
    this.root = fs.mkdtempSync(path.join(os.tmpdir(), 'varen-e2e-'));
    fs.chmodSync(this.root, 0o700);
    this.configHome = this.makeFolder('config');
    this.dataHome = this.makeFolder('data');
    this.runtimeDir = this.makeFolder('runtime'); // XDG requires 0700 for the runtime folder
    this.portDir = this.makeFolder('ports');
  }

  makeFolder(name) {
    const folder = path.join(this.root, name);
    fs.mkdirSync(folder, { mode: 0o700 });
    return folder;
  }

  env() {
    return {
      XDG_CONFIG_HOME: this.configHome,
      XDG_DATA_HOME: this.dataHome,
      XDG_RUNTIME_DIR: this.runtimeDir,
      VAREN_PORT_DIR: this.portDir,
    };
  }

  // Files named `name` anywhere below `folder` (the application picks its own sub-folders after
  // its organisation and application names).
  find(folder, name) {
    const found = [];
    const visit = (dir) => {
      for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
        const full = path.join(dir, entry.name);
        if (entry.isDirectory()) visit(full);
        else if (entry.name === name) found.push(full);
      }
    };
    visit(folder);
    return found;
  }

  remove() {
    fs.rmSync(this.root, { recursive: true, force: true });
  }
}

module.exports = { Sandbox };

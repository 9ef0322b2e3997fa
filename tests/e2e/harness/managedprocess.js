'use strict';
// A program started by a test: its output goes to a log file among the artefacts and is scanned
// line by line, it runs in a process group of its own so that stopping it also stops whatever it
// started (the web engine's helpers), and every stop is bounded. A registry of the running ones
// lets the harness stop all of them even when the test runner itself is being torn down.
const { spawn } = require('node:child_process');
const { EventEmitter } = require('node:events');
const fs = require('node:fs');
const procfs = require('./procfs');

const running = new Set();

// When the test runner itself is killed (CTest's time-out kills only its direct child), the
// kernel ends our children too: setpriv gives them a parent-death signal before it runs them.
const SETPRIV = ['/usr/bin/setpriv', '/bin/setpriv'].find((candidate) => fs.existsSync(candidate));

function withParentDeathSignal(command, args) {
  return SETPRIV ? [SETPRIV, ['--pdeathsig', 'KILL', '--', command, ...args]] : [command, args];
}

function killGroup(pid, signal) {
  try {
    process.kill(-pid, signal);
  } catch {
    // The group is already gone.
  }
}

// Last resort when node exits without the harness's hooks having run: nothing may outlive the
// test run. Only synchronous calls are possible here.
process.on('exit', () => {
  for (const child of running) child.killNow();
});

class ManagedProcess extends EventEmitter {
  constructor(name, command, args, { env, logFile, extraStdio = [] }) {
    super();
    this.name = name;
    this.lines = [];
    this.pendingText = { stdout: '', stderr: '' };
    this.log = fs.createWriteStream(logFile, { flags: 'a' });
    this.logFile = logFile;
    this.log.write(`# ${new Date().toISOString()} ${command} ${args.join(' ')}\n`);
    const [program, programArgs] = withParentDeathSignal(command, args);
    this.child = spawn(program, programArgs, {
      env,
      detached: true, // own process group: see killGroup
      stdio: ['ignore', 'pipe', 'pipe', ...extraStdio],
    });
    this.pid = this.child.pid;
    running.add(this);
    this.exited = new Promise((resolve) => {
      this.child.on('exit', (code, signal) => {
        running.delete(this);
        // Helpers that survived their parent must not linger.
        killGroup(this.pid, 'SIGKILL');
        this.exitStatus = { code, signal };
        this.writeLog(`# exited code=${code} signal=${signal}\n`);
        this.emit('exit', this.exitStatus);
        resolve(this.exitStatus);
      });
    });
    this.spawned = new Promise((resolve, reject) => {
      this.child.on('spawn', resolve);
      this.child.on('error', (error) => {
        running.delete(this);
        this.exitStatus = { code: null, signal: null, error: error.message };
        reject(new Error(`${name}: cannot start ${command}: ${error.message}`));
      });
    });
    // The log ends when every output pipe has closed: output may still arrive after the exit.
    this.outputClosed = new Promise((resolve) => this.child.on('close', resolve));
    this.spawned.catch(() => {}); // whoever awaits it sees the error
    for (const stream of ['stdout', 'stderr']) {
      this.child[stream].on('data', (chunk) => this.takeOutput(stream, chunk.toString('utf8')));
    }
  }

  writeLog(text) {
    if (!this.log.writableEnded) this.log.write(text);
  }

  takeOutput(stream, text) {
    this.writeLog(text);
    const lines = (this.pendingText[stream] + text).split('\n');
    this.pendingText[stream] = lines.pop();
    for (const line of lines) {
      this.lines.push(line);
      if (this.lines.length > 2000) this.lines.shift();
      this.emit('line', line, stream);
    }
  }

  isRunning() {
    return this.exitStatus === undefined;
  }

  // The last lines of output, for error messages that must say why a start failed.
  tail(count = 20) {
    return this.lines.slice(-count).join('\n');
  }

  // Resolves with the match of the first output line (already seen or still to come) that
  // matches; rejects when the process ends first or the time runs out.
  waitForLine(pattern, timeoutMs) {
    const seen = this.lines.map((line) => line.match(pattern)).find(Boolean);
    if (seen) return Promise.resolve(seen);
    return new Promise((resolve, reject) => {
      const finish = (error, match) => {
        clearTimeout(timer);
        this.off('line', onLine);
        this.off('exit', onExit);
        if (error) reject(error);
        else resolve(match);
      };
      const onLine = (line) => {
        const match = line.match(pattern);
        if (match) finish(null, match);
      };
      const onExit = (status) =>
        finish(new Error(`${this.name} exited (${JSON.stringify(status)}) before printing ` +
          `${pattern}; its last output:\n${this.tail()}`));
      const timer = setTimeout(() => finish(new Error(`${this.name} printed no ${pattern} ` +
        `within ${timeoutMs} ms; its last output:\n${this.tail()}`)), timeoutMs);
      this.on('line', onLine);
      this.on('exit', onExit);
      if (!this.isRunning()) onExit(this.exitStatus);
    });
  }

  // Waits up to timeoutMs for the exit; true when it happened.
  async waitForExit(timeoutMs) {
    if (!this.isRunning()) return true;
    let timer;
    const timedOut = new Promise((resolve) => { timer = setTimeout(() => resolve(false), timeoutMs); });
    const result = await Promise.race([this.exited.then(() => true), timedOut]);
    clearTimeout(timer);
    return result;
  }

  // Asks with SIGTERM, insists with SIGKILL after the grace time.
  async stop(graceMs = 10000) {
    if (this.isRunning()) {
      killGroup(this.pid, 'SIGTERM');
      if (!(await this.waitForExit(graceMs))) await this.kill();
    }
    await this.closeLog();
    return this.exitStatus;
  }

  async kill() {
    this.killNow();
    await this.waitForExit(10000);
    await this.closeLog();
    return this.exitStatus;
  }

  killNow() {
    // An ended process's pid may already belong to someone else.
    if (!this.isRunning()) return;
    // Descendants first: a helper that left the group still has its parent chain.
    for (const pid of procfs.descendantsOf(this.pid)) {
      try {
        process.kill(pid, 'SIGKILL');
      } catch {
        // Already gone.
      }
    }
    killGroup(this.pid, 'SIGKILL');
  }

  // A helper that escaped the group could hold the pipes open; the wait for them is bounded.
  async closeLog() {
    let timer;
    const bounded = new Promise((resolve) => { timer = setTimeout(resolve, 5000); });
    await Promise.race([this.outputClosed, bounded]);
    clearTimeout(timer);
    this.child.stdout.destroy();
    this.child.stderr.destroy();
    if (this.log.writableEnded) return;
    await new Promise((resolve) => this.log.end(resolve));
  }
}

module.exports = { ManagedProcess };

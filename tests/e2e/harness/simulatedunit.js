'use strict';
// One varen-unitsim process: a simulated unit whose console is a pseudo-terminal linked as
// COM<n> in the application's port directory. Ready once it has printed its "ready" line.
const { ManagedProcess } = require('./managedprocess');

class SimulatedUnit {
  static async start({ board = 'qmr', com, args = [], portDir, env, logFile, timeoutMs = 30000 }) {
    const program = process.env.VAREN_UNITSIM;
    if (!program) throw new Error('VAREN_UNITSIM must name the varen-unitsim program');
    if (!Number.isInteger(com) || com < 1) throw new Error(`a unit needs a COM number, not ${com}`);
    const unit = new ManagedProcess(`varen-unitsim COM${com}`, program,
      ['--board', board, '--com', String(com), '--port-dir', portDir, ...args],
      { env, logFile });
    try {
      await unit.spawned;
      const ready = await unit.waitForLine(new RegExp(`^ready COM${com} (\\S+)`), timeoutMs);
      return new SimulatedUnit(unit, board, com, ready[1]);
    } catch (error) {
      await unit.kill();
      throw error;
    }
  }

  constructor(process, board, com, pty) {
    this.process = process;
    this.board = board;
    this.com = com;
    this.port = `COM${com}`;
    this.pty = pty;
  }

  // SIGTERM lets the simulator remove its port link, as when a cable is pulled.
  stop() {
    return this.process.stop(10000);
  }
}

module.exports = { SimulatedUnit };

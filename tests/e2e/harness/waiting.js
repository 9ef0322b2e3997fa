'use strict';
// Bounded waiting. Every wait in the harness has a deadline and says what it waited for.

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Calls probe until it returns something other than undefined/false, or the time is up. A probe
// that throws counts as "not yet"; its last error is part of the time-out message.
async function waitUntil(probe, { timeoutMs, intervalMs = 100, what }) {
  const deadline = Date.now() + timeoutMs;
  let lastError;
  for (;;) {
    try {
      const value = await probe();
      if (value !== undefined && value !== false && value !== null) return value;
    } catch (error) {
      if (error.fatal) throw error;
      lastError = error;
    }
    if (Date.now() >= deadline) {
      const reason = lastError ? ` (last error: ${lastError.message})` : '';
      throw new Error(`timed out after ${timeoutMs} ms waiting for ${what}${reason}`);
    }
    await sleep(intervalMs);
  }
}

module.exports = { sleep, waitUntil };

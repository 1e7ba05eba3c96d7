#pragma once

// Every start-up value back to its state before start-up, and no shared connection. The
// test main calls it before each test, so no test depends on the order tests run in.
void FreshState();

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Signals as readable events: the handlers only write the signal number
// into a pipe, which the host's poll loops watch next to their sockets.
// That way a signal that arrives between two polls is never lost.

enum class HostSignal { None, Drop, Terminate, Child };

// Installs the handlers for SIGUSR1 (Drop), SIGTERM and SIGINT (Terminate)
// and SIGCHLD (Child), and ignores SIGPIPE. False when the pipe cannot be
// made. Call once, before any other function here.
bool InstallHostSignals();

// The descriptor to poll for POLLIN.
int HostSignalDescriptor();

// The next pending signal, None when there is none (never blocks).
HostSignal TakeHostSignal();

// Resets every handled signal to its default disposition: for a child
// about to run another program.
void RestoreDefaultSignals();

#pragma once
// Tells whether another instance of the program runs for this user. The
// first caller in a process takes a lock that it keeps until the process
// ends; a process that finds the lock taken by a live process is a second
// instance. A lock left by a dead process is taken over.

bool PreviousInstanceRunning();

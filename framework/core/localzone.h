#pragma once

// Without TZ in the environment the C library looks at /etc/localtime
// again on every conversion between UTC and local time (a file status call
// each time): decoding the date-times of a data packet of thousands of rows
// spent most of its time there. Naming the system's zone file in TZ once,
// before any conversion, has it read once. A TZ already set is kept. A
// change of the machine's zone is then seen at the next start.
void KeepLocalTimeZone();

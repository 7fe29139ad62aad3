// Fresh records between tests and fuzz inputs, as each program has them
// right after start-up.
#pragma once

// The terminal programs: empties the wait list (closing its jobs' files),
// the user list, the current job, the printer and the stock, then creates
// the lists afresh as InitAdmin and InitPrinter do (PRINT included, with its
// message on the error row when a screen is open).
void ResetRecords();
// The line-mode program: the same for its own records.
void ResetLineRecords();

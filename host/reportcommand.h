#pragma once

// The report without a screen, for scheduled prints:
//   entpat-host --report <code> --from <dd/MM/yyyy> --to <dd/MM/yyyy>
//               [--branch <code>] [--database <file or URL>] --pdf <file>
// renders the report with every criterion on all values into a PDF file and
// exits, with no display needed. Exit codes: 0 done, 1 the report failed,
// 2 bad option, 3 the database cannot be opened, 4 no definition of the
// report; every failure writes one line on standard error.

// True when the command line asks for a report (--report is present).
bool isReportCommand(int argc, char *argv[]);
int runReportCommand(int argc, char *argv[]);

// launch_console.exe: a console program that ends at once.
//
//   launch_console.exe [-echo-out PATH]
//
// Writes the report of report.h (PATH, or the file VAKO_ECHO_OUT names) and
// returns 0. It never has a message queue.
#include "report.h"

int main() {
    target::WriteReport(target::ReportPath(), target::StartReport());
    return 0;
}

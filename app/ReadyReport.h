#pragma once

// For measuring the start-up from outside. When VELLUMO_REPORT_READY is set,
// the program writes "ready" to standard output, once, as soon as every
// browser window has listed its folder in full and painted its list; with
// the value "exit" it then ends without saving anything.
void ReportWhenReady();

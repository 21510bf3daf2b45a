/* A library whose one export has a name outside ASCII, for the export
   look-up through the thread ANSI code page. */
int __cdecl CyrillicExport(void) { return 1026; }

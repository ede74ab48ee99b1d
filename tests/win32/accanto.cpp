// A register's control and the library beside it that it imports (CMakeLists.txt builds both).
#ifdef CONTROLLO_ACCANTO
extern "C" __declspec(dllimport) int libreria_accanto();
extern "C" __declspec(dllexport) int controllo_accanto() {
  return libreria_accanto();
}
#else
extern "C" __declspec(dllexport) int libreria_accanto() {
  return 1;
}
#endif

// A netsh.exe that answers at once with success: the start-up benchmark's stand-in for the real one.
int main() { return 0; }

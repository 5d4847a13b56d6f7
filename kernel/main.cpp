// KIRMEL_12: the simulation kernel's console entry point.
int main() { return 0; }

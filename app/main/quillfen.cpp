// The desktop program.
int main() { return 0; }

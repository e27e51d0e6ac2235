// The headless host: runs the program's objects on a transcript.
int main() { return 0; }

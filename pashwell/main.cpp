// Entry point of the journal-to-MATLAB converter.
int main() { return 0; }

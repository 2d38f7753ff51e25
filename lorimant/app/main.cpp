// Entry point of the section-analysis program. The application object comes
// with the document and frame layer; until then the program does nothing.
int main() { return 0; }

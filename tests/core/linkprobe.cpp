// Linked with every object of the core, so that its shared-library needs show in this program.
int main() { return 0; }

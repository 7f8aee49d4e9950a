// Placeholder until the graphics core exists.
int main() { return 1; }

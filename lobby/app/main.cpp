// zrtlobby: the lobby client.
int main() { return 0; }

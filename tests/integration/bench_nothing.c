/* A program that does nothing: the floor of starting a process, for the install benchmark. */
int main(void) { return 0; }

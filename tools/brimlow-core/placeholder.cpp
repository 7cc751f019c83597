namespace brimlow { int placeholder() { return 0; } }

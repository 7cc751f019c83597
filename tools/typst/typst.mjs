// Placeholder; replaced by the real front.
console.error("error: typst front not built yet");
process.exit(1);

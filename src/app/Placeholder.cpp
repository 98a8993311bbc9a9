// Keeps the engine library non-empty until the first units land.
namespace vantorel {
int EngineVersion() { return 1; }
}

// placeholder so the library has a source until the real ones arrive

file(REMOVE_RECURSE
  "libcore.a"
)

BCSetup installer stand-in boot strap

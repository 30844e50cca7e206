#!/usr/bin/env node
// Runs OPC UA requests for QuorTagEditor's QuorProv.OpcUa provider. Each line on standard input
// is one JSON request {"id", "op", "key", "endpoint", "timeout", ...}; each answer is one line on
// standard output {"id", "ok": true, ...} or {"id", "ok": false, "status", "message"}. A browse
// also sends {"id", "progress": [done, total]} lines before its answer. Requests run side by
// side. Every request carries the endpoint of its connection, so a connection lost (or a bridge
// started anew) is opened again by the next request. The bridge ends when its input ends.
"use strict";

// The stack writes its warnings with console.log: they must not mix with the answers.
const toStderr = (...parts) => process.stderr.write(`${parts.join(" ")}\n`);
console.log = console.info = console.warn = console.debug = toStderr;

const readline = require("readline");
const opcua = require("node-opcua-client");
const { OPCUAClient, AttributeIds, BrowseDirection, NodeClass, DataType, Variant, MessageSecurityMode,
    SecurityPolicy, UserTokenType, makeBrowsePath, resolveNodeId, StatusCodes } = opcua;

const kBrowseBatch = 500;
const kReadBatch = 1000;
const kParallelBrowses = 4;
// The standard objects under the Objects folder (the server's own object, its aliases, ...) are
// left out when it is the root; naming one of them as the root lists it.
const kObjectsFolder = "ns=0;i=85";

class Failure extends Error {
    constructor(status, message) {
        super(message);
        this.status = status;
    }
}

function send(answer) {
    process.stdout.write(`${JSON.stringify(answer)}\n`);
}

function withTimeout(promise, ms, what) {
    let timer;
    const expiry = new Promise((_, reject) => {
        timer = setTimeout(() => reject(new Failure("BadTimeout", `${what}: no answer within ${ms} ms`)), ms);
    });
    return Promise.race([promise, expiry]).finally(() => clearTimeout(timer));
}

// The status code's name in an error of the stack or of the socket.
function statusOf(error, endpoint) {
    if (error instanceof Failure)
        return error.status;
    if (error && error.statusCode && typeof error.statusCode.name === "string" && error.statusCode.name !== "Good")
        return error.statusCode.name;
    const text = String(error && error.message);
    const named = text.match(/\b(Bad[A-Z][A-Za-z]+)\b/);
    if (named)
        return named[1];
    if (/user token policy/i.test(text))
        return "BadIdentityTokenRejected";
    if (/ECONNREFUSED/.test(text))
        return "BadConnectionRejected";
    if (/Connection Break|ECONNRESET|EPIPE|socket.*(closed|disconnected)/i.test(text))
        return "BadConnectionClosed";
    if (/ENOTFOUND|EAI_AGAIN|Invalid endpoint|invalid url/i.test(text))
        return "BadTcpEndpointUrlInvalid";
    if (/timeout|ETIMEDOUT/i.test(text))
        return "BadTimeout";
    if (endpoint && endpoint.security !== "None" && /endpoint/i.test(text))
        return "BadSecurityModeRejected";
    return "BadCommunicationError";
}

// ---------------------------------------------------------------- connections

// The open connections by the key the plug-in gives each controller.
const connections = new Map();

function securityOf(endpoint) {
    switch (endpoint.security) {
    case "Sign":
        return { securityMode: MessageSecurityMode.Sign, securityPolicy: SecurityPolicy.Basic256Sha256 };
    case "SignAndEncrypt":
        return { securityMode: MessageSecurityMode.SignAndEncrypt, securityPolicy: SecurityPolicy.Basic256Sha256 };
    default:
        return { securityMode: MessageSecurityMode.None, securityPolicy: SecurityPolicy.None };
    }
}

// The self-signed client certificate lives in the folder the plug-in names; the first signed
// connection makes it. One manager for each folder, and one signed connection opened at a time,
// since they share the folder's files.
const certificateManagers = new Map();
let signedOpening = Promise.resolve();

function certificateManagerFor(endpoint) {
    const folder = endpoint.certificateFolder;
    if (!certificateManagers.has(folder)) {
        const { OPCUACertificateManager } = require("node-opcua-certificate-manager");
        const manager = new OPCUACertificateManager({ rootFolder: folder, automaticallyAcceptUnknownCertificate: true });
        certificateManagers.set(folder, manager.initialize().then(() => manager));
    }
    return certificateManagers.get(folder);
}

function openConnection(endpoint, timeout) {
    if (endpoint.security === "None")
        return openClient(endpoint, timeout);
    const opening = signedOpening.then(() => openClient(endpoint, timeout));
    signedOpening = opening.catch(() => {});
    return opening;
}

async function openClient(endpoint, timeout) {
    const options = {
        applicationName: "QuorTagEditor",
        connectionStrategy: { maxRetry: 0, initialDelay: 100, maxDelay: 200 },
        endpointMustExist: false,
        keepSessionAlive: true,
        requestedSessionTimeout: 60000,
        ...securityOf(endpoint),
    };
    if (endpoint.security !== "None")
        options.clientCertificateManager = await certificateManagerFor(endpoint);
    const client = OPCUAClient.create(options);
    const connection = { client, session: null, nodes: new Map(), lost: false };
    const lose = () => {
        connection.lost = true;
    };
    client.on("connection_lost", lose);
    client.on("close", lose);
    client.on("backoff", lose);
    const identity = endpoint.user
        ? { type: UserTokenType.UserName, userName: endpoint.user, password: endpoint.password || "" }
        : { type: UserTokenType.Anonymous };
    const open = async () => {
        await client.connect(endpoint.url);
        connection.session = await client.createSession(identity);
        connection.session.on("session_closed", lose);
        connection.session.on("keepalive_failure", lose);
    };
    try {
        await withTimeout(open(), timeout, `Connecting to ${endpoint.url}`);
    } catch (error) {
        client.disconnect().catch(() => {});
        throw error;
    }
    return connection;
}

// The connection of the key, opened when there is none; requests that come while it opens wait
// for the same opening.
async function connectionFor(request) {
    const connection = await openOrReuse(request);
    send({ id: request.id, alive: true });
    return connection;
}

async function openOrReuse(request) {
    const known = connections.get(request.key);
    if (known) {
        const connection = await known;
        if (!connection.lost)
            return connection;
        if (connections.get(request.key) === known)
            closeConnection(request.key);
        return openOrReuse(request);
    }
    const opening = openConnection(request.endpoint, request.timeout);
    connections.set(request.key, opening);
    opening.catch(() => {
        if (connections.get(request.key) === opening)
            connections.delete(request.key);
    });
    return opening;
}

function closeConnection(key) {
    const opening = connections.get(key);
    connections.delete(key);
    if (!opening)
        return;
    opening.then((connection) => {
        connection.lost = true;
        const session = connection.session;
        (session ? session.close().catch(() => {}) : Promise.resolve())
            .finally(() => connection.client.disconnect().catch(() => {}));
    }, () => {});
}

// Runs a service of the connection within the request's timeout; a lost connection fails at
// once. Each service done tells the plug-in that the request is still at work.
async function service(connection, promise, request, what) {
    const lost = new Promise((_, reject) => {
        const check = setInterval(() => {
            if (connection.lost) {
                clearInterval(check);
                reject(new Failure("BadConnectionClosed", "The connection to the server was lost"));
            }
        }, 50);
        promise.finally(() => clearInterval(check)).catch(() => {});
    });
    const result = await withTimeout(Promise.race([promise, lost]), request.timeout, what);
    send({ id: request.id, alive: true });
    return result;
}

// ---------------------------------------------------------------- browse

function chunks(list, size) {
    const result = [];
    for (let i = 0; i < list.length; i += size)
        result.push(list.slice(i, i + size));
    return result;
}

async function inParallel(tasks, limit) {
    let next = 0;
    const worker = async () => {
        while (next < tasks.length) {
            const task = tasks[next++];
            await task();
        }
    };
    await Promise.all(Array.from({ length: Math.min(limit, tasks.length) }, worker));
}

function browseDescription(nodeId) {
    return {
        nodeId, referenceTypeId: "HierarchicalReferences", includeSubtypes: true,
        browseDirection: BrowseDirection.Forward,
        nodeClassMask: NodeClass.Object | NodeClass.Variable, resultMask: 0x3f,
    };
}

// The references of each node, continuation points followed with BrowseNext.
async function referencesOf(connection, nodes, request) {
    const session = connection.session;
    const results = await service(connection, session.browse(nodes.map((n) => browseDescription(n.nodeId))),
        request, "Browse");
    const references = results.map((r) => (r.references || []).slice());
    let pending = results.map((r, i) => ({ i, point: r.continuationPoint })).filter((p) => p.point && p.point.length);
    while (pending.length) {
        const more = await service(connection, session.browseNext(pending.map((p) => p.point), false), request,
            "BrowseNext");
        const still = [];
        more.forEach((r, k) => {
            references[pending[k].i].push(...(r.references || []));
            if (r.continuationPoint && r.continuationPoint.length)
                still.push({ i: pending[k].i, point: r.continuationPoint });
        });
        pending = still;
    }
    return references;
}

// Names every variable by its browse path from the root joined with "."; names that two
// variables would share get their NodeIds in brackets.
function nameVariables(found) {
    const count = new Map();
    for (const v of found) {
        v.name = v.path.join(".");
        const folded = v.name.toLowerCase();
        count.set(folded, (count.get(folded) || 0) + 1);
    }
    for (const v of found) {
        if (count.get(v.name.toLowerCase()) > 1)
            v.name = `${v.name}[${v.nodeId}]`;
    }
    return found;
}

async function browse(request, progress) {
    const connection = await connectionFor(request);
    const root = resolveNodeId(request.root).toString();
    const seen = new Set([root]);
    const found = [];
    let level = [{ nodeId: root, path: [] }];
    let browsed = 0;
    for (let depth = 1; depth <= request.depth && level.length; ++depth) {
        const next = [];
        const tasks = chunks(level, kBrowseBatch).map((nodes) => async () => {
            const references = await referencesOf(connection, nodes, request);
            references.forEach((list, i) => {
                for (const ref of list) {
                    const nodeId = ref.nodeId.toString();
                    if (seen.has(nodeId) || (depth === 1 && root === kObjectsFolder && ref.nodeId.namespace === 0))
                        continue;
                    seen.add(nodeId);
                    const path = [...nodes[i].path, ref.browseName.name];
                    if (ref.nodeClass === NodeClass.Variable)
                        found.push({ path, nodeId });
                    else if (depth < request.depth)
                        next.push({ nodeId, path });
                }
            });
            browsed += nodes.length;
            progress(browsed, browsed + next.length + (level.length - browsed > 0 ? level.length - browsed : 0));
        });
        await inParallel(tasks, kParallelBrowses);
        browsed = 0;
        level = next;
    }
    nameVariables(found);
    for (const v of found)
        connection.nodes.set(v.name, v.nodeId);
    return { names: found.map((v) => v.name) };
}

// ---------------------------------------------------------------- names to nodes

// The NodeId in brackets at the end of a name, if any.
function bracketedNode(name) {
    if (!name.endsWith("]"))
        return null;
    for (let at = name.indexOf("["); at >= 0; at = name.indexOf("[", at + 1)) {
        const inside = name.slice(at + 1, -1);
        if (/^(ns=\d+;|nsu=[^;]+;)?[isgb]=/.test(inside))
            return { path: name.slice(0, at), nodeId: inside };
    }
    return null;
}

// Resolves the names to NodeIds: known ones from the last browse, the others by
// TranslateBrowsePathsToNodeIds from the root, trying each namespace of the server.
async function resolve(connection, request, names) {
    const nodes = names.map((name) => {
        const bracketed = bracketedNode(name);
        if (bracketed)
            return bracketed.nodeId;
        return connection.nodes.get(name) || null;
    });
    const missing = names.map((name, i) => ({ name, i })).filter((m) => nodes[m.i] === null);
    if (!missing.length)
        return nodes;
    const session = connection.session;
    if (!connection.namespaces) {
        const array = await service(connection, session.readNamespaceArray(), request, "Read");
        connection.namespaces = array.map((_, i) => i);
    }
    const root = resolveNodeId(request.root || kObjectsFolder);
    const paths = [];
    for (const m of missing) {
        for (const ns of connection.namespaces) {
            const segments = m.name.split(".").map((s) => `/${ns}:${s}`).join("");
            paths.push({ i: m.i, path: makeBrowsePath(root, segments) });
        }
    }
    const results = await service(connection, session.translateBrowsePath(paths.map((p) => p.path)),
        request, "TranslateBrowsePathsToNodeIds");
    results.forEach((result, k) => {
        const i = paths[k].i;
        if (nodes[i] === null && result.statusCode.isGood() && result.targets && result.targets.length) {
            nodes[i] = result.targets[0].targetId.toString();
            connection.nodes.set(names[i], nodes[i]);
        }
    });
    return nodes;
}

// ---------------------------------------------------------------- values

const kTypeNames = {
    [DataType.Boolean]: "bool", [DataType.SByte]: "int8", [DataType.Byte]: "uint8",
    [DataType.Int16]: "int16", [DataType.UInt16]: "uint16", [DataType.Int32]: "int32",
    [DataType.UInt32]: "uint32", [DataType.Int64]: "int64", [DataType.UInt64]: "uint64",
    [DataType.Float]: "float32", [DataType.Double]: "float64", [DataType.String]: "text",
    [DataType.DateTime]: "datetime", [DataType.LocalizedText]: "text", [DataType.QualifiedName]: "text",
    [DataType.ByteString]: "bytes", [DataType.Guid]: "guid", [DataType.NodeId]: "nodeid",
};

function plainValue(variant) {
    const value = variant.value;
    if (variant.arrayType !== undefined && variant.arrayType !== 0)
        return JSON.stringify(Array.from(value || [], (v) => (typeof v === "object" && v !== null ? String(v) : v)));
    switch (variant.dataType) {
    case DataType.Int64:
    case DataType.UInt64:
        return Array.isArray(value) ? value[0] * 4294967296 + value[1] : Number(value);
    case DataType.DateTime:
        return value instanceof Date ? value.toISOString() : String(value);
    case DataType.LocalizedText:
        return value ? value.text || "" : "";
    case DataType.ByteString:
        return value ? value.toString("hex") : "";
    case DataType.Boolean:
    case DataType.String:
        return value;
    default:
        return typeof value === "number" ? value : value === null || value === undefined ? null : String(value);
    }
}

async function readValues(request) {
    const connection = await connectionFor(request);
    const nodes = await resolve(connection, request, request.names);
    const answers = nodes.map(() => ({ status: "BadNoMatch" }));
    const wanted = nodes.map((nodeId, i) => ({ nodeId, i })).filter((w) => w.nodeId !== null);
    for (const batch of chunks(wanted, kReadBatch)) {
        const values = await service(connection,
            connection.session.read(batch.map((w) => ({ nodeId: w.nodeId, attributeId: AttributeIds.Value })), 0),
            request, "Read");
        values.forEach((dataValue, k) => {
            const i = batch[k].i;
            const status = dataValue.statusCode;
            if (!status.isGood() && status.name === "BadNodeIdUnknown")
                connection.nodes.delete(request.names[i]);
            const answer = { status: status.isGood() ? "Good" : status.name, code: status.value };
            if (status.isGood() && dataValue.value) {
                answer.value = plainValue(dataValue.value);
                answer.type = kTypeNames[dataValue.value.dataType] || "";
            }
            if (dataValue.sourceTimestamp)
                answer.time = dataValue.sourceTimestamp.toISOString();
            answers[i] = answer;
        });
    }
    return { values: answers };
}

async function describe(request) {
    const connection = await connectionFor(request);
    const nodes = await resolve(connection, request, request.names);
    const answers = nodes.map((nodeId) => ({ known: nodeId !== null, node: nodeId || "" }));
    const wanted = nodes.map((nodeId, i) => ({ nodeId, i })).filter((w) => w.nodeId !== null);
    const attributes = [AttributeIds.DataType, AttributeIds.UserAccessLevel];
    for (const batch of chunks(wanted, kReadBatch / 2)) {
        const toRead = batch.flatMap((w) => attributes.map((attributeId) => ({ nodeId: w.nodeId, attributeId })));
        const values = await service(connection, connection.session.read(toRead), request, "Read");
        batch.forEach((w, k) => {
            const [dataType, access] = values.slice(2 * k, 2 * k + 2);
            const answer = answers[w.i];
            if (!dataType.statusCode.isGood()) {
                answer.known = dataType.statusCode.name !== "BadNodeIdUnknown";
                return;
            }
            const typeId = dataType.value.value;
            answer.type = typeId && typeId.namespace === 0 ? kTypeNames[typeId.value] || "" : "";
            const level = access.statusCode.isGood() ? access.value.value : 1;
            answer.readable = (level & 1) !== 0;
            answer.writable = (level & 2) !== 0;
        });
    }
    return { descriptions: answers };
}

const kIntegerRanges = {
    [DataType.SByte]: [-128, 127], [DataType.Byte]: [0, 255], [DataType.Int16]: [-32768, 32767],
    [DataType.UInt16]: [0, 65535], [DataType.Int32]: [-2147483648, 2147483647], [DataType.UInt32]: [0, 4294967295],
    [DataType.Int64]: [Number.MIN_SAFE_INTEGER, Number.MAX_SAFE_INTEGER], [DataType.UInt64]: [0, Number.MAX_SAFE_INTEGER],
};

// The value given, as a Variant of the variable's type.
function variantFor(dataType, given, name) {
    const refuse = () => {
        throw new Failure("BadTypeMismatch", `${JSON.stringify(given)} is no value for ${name}`);
    };
    if (dataType === DataType.Boolean) {
        if (typeof given === "boolean")
            return new Variant({ dataType, value: given });
        const text = String(given).trim().toLowerCase();
        if (["true", "1"].includes(text))
            return new Variant({ dataType, value: true });
        if (["false", "0"].includes(text))
            return new Variant({ dataType, value: false });
        refuse();
    }
    if (dataType === DataType.String || dataType === DataType.LocalizedText)
        return new Variant({ dataType: DataType.String, value: String(given) });
    const number = typeof given === "number" ? given : Number(String(given).trim());
    if (String(given).trim() === "" || !Number.isFinite(number))
        refuse();
    if (dataType === DataType.Float || dataType === DataType.Double)
        return new Variant({ dataType, value: number });
    const range = kIntegerRanges[dataType];
    if (!range)
        throw new Failure("BadNotSupported", `${name} is of a type that cannot be written here`);
    if (!Number.isInteger(number) || number < range[0] || number > range[1])
        refuse();
    if (dataType === DataType.Int64 || dataType === DataType.UInt64)
        return new Variant({ dataType, value: [Math.floor(number / 4294967296), number >>> 0] });
    return new Variant({ dataType, value: number });
}

async function write(request) {
    const connection = await connectionFor(request);
    const [nodeId] = await resolve(connection, request, [request.name]);
    if (nodeId === null)
        throw new Failure("BadNoMatch", `The server has no variable ${request.name}`);
    const session = connection.session;
    const [current, declared] = await service(connection, session.read([
        { nodeId, attributeId: AttributeIds.Value }, { nodeId, attributeId: AttributeIds.DataType }]),
    request, "Read");
    let dataType = current.statusCode.isGood() && current.value ? current.value.dataType : DataType.Null;
    if (dataType === DataType.Null && declared.statusCode.isGood() && declared.value.value.namespace === 0)
        dataType = declared.value.value.value;
    const value = variantFor(dataType, request.value, request.name);
    const status = await service(connection,
        session.write({ nodeId, attributeId: AttributeIds.Value, value: { value } }), request, "Write");
    if (!status.isGood())
        throw new Failure(status.name, `The server refused to write ${request.name}`);
    return {};
}

// ---------------------------------------------------------------- requests

const operations = {
    connect: async (request) => {
        await connectionFor(request);
        return {};
    },
    browse,
    read: readValues,
    describe,
    write,
    close: async (request) => {
        closeConnection(request.key);
        return {};
    },
};

async function answer(request) {
    const operation = operations[request.op];
    try {
        if (!operation)
            throw new Failure("BadServiceUnsupported", `Unknown request "${request.op}"`);
        const progress = (done, total) => send({ id: request.id, progress: [done, total] });
        const result = await operation(request, progress);
        send({ id: request.id, ok: true, ...result });
    } catch (error) {
        const status = statusOf(error, request.endpoint);
        const code = StatusCodes[status] ? StatusCodes[status].value : 0;
        // A connection whose request failed for want of an answer is opened anew next time.
        if (["BadTimeout", "BadConnectionClosed", "BadSessionIdInvalid", "BadSecureChannelClosed"].includes(status))
            closeConnection(request.key);
        send({ id: request.id, ok: false, status, code, message: String(error && error.message || error) });
    }
}

const lines = readline.createInterface({ input: process.stdin, terminal: false });
lines.on("line", (line) => {
    let request;
    try {
        request = JSON.parse(line);
    } catch (error) {
        toStderr(`Not a request: ${error.message}`);
        return;
    }
    answer(request);
});
lines.on("close", () => {
    for (const key of [...connections.keys()])
        closeConnection(key);
    setTimeout(() => process.exit(0), 200).unref();
});
send({ ready: true });
